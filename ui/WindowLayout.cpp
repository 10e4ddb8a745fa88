// The window's controls: names, members, parents, places, sizes and texts.
#include "ui/WindowLayout.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>

#include "ui/Composition.h"
#include "ui/FieldPage.h"
#include "ui/LogLabel.h"
#include "ui/RecordPage.h"
#include "ui/SortPage.h"
#include "ui/StringGrid.h"
#include "ui/Widgets.h"

namespace quellor::ui {

std::vector<ControlRow> WindowLayout(WindowControls& c) {
    constexpr Fit grows = Fit::ToText;
    constexpr Fit growsOnShow = Fit::ToTextOnShow;
    const char* modes = "と完全に一致する\nを含む\nで始まる\nで終わる";
    // The second condition's modes end in an empty entry that names none.
    const char* modesAndNone = "と完全に一致する\nを含む\nで始まる\nで終わる\n";
    auto& f = c.field;
    auto& r = c.record;
    auto& s = c.sort;
    return {
        {"Bevel1", &c.messageFrame, "frmMain", 8, 472, 473, 89, ""},
        {"Label1", &c.messageCaption, "frmMain", 8, 456, 74, 12, "【処理ﾒｯｾｰｼﾞ】", growsOnShow},
        {"Label2", &c.conditionCaption, "frmMain", 8, 192, 146, 12, "【処理条件を指定して下さい】",
         growsOnShow},
        {"Label3", &c.dropCaption, "frmMain", 8, 8, 158, 12, "【処理ﾌｧｲﾙをﾄﾞﾛｯﾌﾟして下さい】",
         growsOnShow},
        {"Label4", &c.files.previewNote, "frmMain", 208, 8, 4, 12, "", growsOnShow},
        {"Label5", &c.run.fileCounter, "frmMain", 16, 480, 27, 12, "", growsOnShow},
        {"Label6", &c.run.recordCounter, "frmMain", 16, 520, 27, 12, "", growsOnShow},
        {"Label7", &c.run.log, "frmMain", 304, 480, 169, 73, ""},
        {"Label8", &c.files.totalLabel, "frmMain", 8, 24, 58, 12, "合計0ﾌｧｲﾙ", growsOnShow},
        {"StringGrid1", &c.files.preview, "frmMain", 208, 24, 353, 153, ""},
        {"BitBtn1", &c.files.removeButton, "frmMain", 8, 160, 89, 17, "削除"},
        {"BitBtn2", &c.clearAllButton, "frmMain", 488, 472, 75, 25, "全てｸﾘｱ"},
        {"BitBtn3", &c.startButton, "frmMain", 488, 504, 75, 25, "ｽﾀｰﾄ"},
        {"ListBox1", &c.files.list, "frmMain", 8, 40, 193, 113, ""},
        {"BitBtn4", &c.cancelButton, "frmMain", 488, 536, 75, 25, "ｷｬﾝｾﾙ"},
        {"PageControl1", &c.pages, "frmMain", 8, 208, 553, 233, ""},
        {"BitBtn5", &c.files.removeAllButton, "frmMain", 112, 160, 89, 17, "全て削除"},
        {"ProgressBar1", &c.run.fileBar, "frmMain", 16, 496, 273, 16, ""},
        {"ProgressBar2", &c.run.recordBar, "frmMain", 16, 536, 273, 16, ""},
        {"BitBtn6", &c.run.abortButton, "frmMain", 488, 504, 75, 25, "中止"},

        {"TabSheet1", &c.fieldPage, "PageControl1", 0, 0, 0, 0, "ﾌｨｰﾙﾄﾞ抽出"},
        {"RadioGroup3", &f.onOff, "TabSheet1", 8, 8, 185, 33, "する\nしない"},
        {"GroupBox2", &f.group, "TabSheet1", 8, 48, 529, 153,
         "抽出するﾌｨｰﾙﾄﾞを選択し並び替えてください（１番目のﾌｧｲﾙの1行目をｻﾝﾌﾟﾙとしています）"},
        {"Label10", &f.sourceCaption, "GroupBox2", 8, 16, 94, 12, "元のﾌｨｰﾙﾄﾞと順番", grows},
        {"Label11", &f.chosenCaption, "GroupBox2", 272, 16, 116, 12, "抽出するﾌｨｰﾙﾄﾞと順番", grows},
        {"ListBox2", &f.sourceList, "GroupBox2", 8, 32, 217, 113, ""},
        {"ListBox3", &f.chosenList, "GroupBox2", 272, 32, 217, 113, ""},
        {"Button1", &f.chooseButton, "GroupBox2", 232, 64, 33, 17, "→"},
        {"Button2", &f.giveBackButton, "GroupBox2", 232, 96, 33, 17, "←"},
        {"Button3", &f.toTopButton, "GroupBox2", 496, 40, 25, 25, "▲"},
        {"Button4", &f.upOneButton, "GroupBox2", 496, 64, 25, 25, "△"},
        {"Button5", &f.downOneButton, "GroupBox2", 496, 88, 25, 25, "▽"},
        {"Button6", &f.toBottomButton, "GroupBox2", 496, 112, 25, 25, "▼"},

        {"TabSheet2", &c.recordPage, "PageControl1", 0, 0, 0, 0, "ﾚｺｰﾄﾞ抽出"},
        {"RadioGroup2", &r.onOff, "TabSheet2", 8, 8, 185, 33, "する\nしない"},
        {"GroupBox1", &r.group, "TabSheet2", 8, 48, 529, 153,
         "抽出するﾚｺｰﾄﾞの文字列検索条件を指定して下さい"},
        {"Label9", &r.firstIs, "GroupBox1", 111, 30, 12, 12, "が"},
        {"Label12", &r.secondIs, "GroupBox1", 111, 100, 12, 12, "が"},
        {"ComboBox1", &r.firstField, "GroupBox1", 8, 24, 97, 20, ""},
        {"Edit1", &r.firstText, "GroupBox1", 128, 24, 249, 20, ""},
        {"ComboBox2", &r.firstMode, "GroupBox1", 384, 24, 137, 20, modes},
        {"RadioGroup1", &r.join, "GroupBox1", 10, 48, 189, 33, "かつ\nまたは"},
        {"ComboBox3", &r.secondField, "GroupBox1", 8, 93, 97, 20, ""},
        {"Edit2", &r.secondText, "GroupBox1", 128, 93, 249, 20, ""},
        {"ComboBox4", &r.secondMode, "GroupBox1", 384, 93, 137, 20, modesAndNone},
        {"CheckBox2", &r.noFileWhenEmpty, "GroupBox1", 8, 128, 233, 17,
         "抽出ﾚｺｰﾄﾞがなければﾌｧｲﾙを作成しない"},

        {"TabSheet3", &c.sortPage, "PageControl1", 0, 0, 0, 0, "ｿｰﾄ"},
        {"RadioGroup4", &s.onOff, "TabSheet3", 8, 8, 185, 33, "する\nしない"},
        {"GroupBox3", &s.group, "TabSheet3", 8, 48, 529, 89, "ｿｰﾄｷｰを指定して下さい"},
        {"Label14", &s.keyCaption, "GroupBox3", 112, 28, 37, 12, "をｷｰに"},
        {"Label15", &s.orderCaption, "GroupBox3", 240, 28, 54, 12, "でｿｰﾄする"},
        {"ComboBox5", &s.keyField, "GroupBox3", 8, 24, 97, 20, ""},
        {"CheckBox1", &s.duplicatesToFile, "GroupBox3", 8, 56, 265, 17,
         "重複しているﾚｺｰﾄﾞを除去し別ﾌｧｲﾙに書き出す"},
        {"ComboBox6", &s.order, "GroupBox3", 160, 24, 73, 20, "昇順\n降順"},
    };
}

void FitLabel(QLabel* label, const QString& text) {
    label->setText(text);
    int width = label->fontMetrics().horizontalAdvance(text);
    if (width != label->width()) label->resize(width, label->height());
}

void FitScrollWidth(ListBox* list, Scale scale) {
    if (list->count() == 0) return;
    QFontMetrics metrics(list->font());
    int width = 0;
    for (int i = 0; i < list->count(); ++i) {
        width = qMax(width, metrics.horizontalAdvance(list->item(i)->text()));
    }
    list->SetScrollExtent(width + scale(5));
}

namespace {

QStringList Lines(const QString& text) {
    return text.isEmpty() ? QStringList{} : text.split(QLatin1Char('\n'));
}

// Makes one control of the kind its member names, with its texts.
struct Maker {
    QWidget* parent;
    const QString& caption;
    Scale scale;

    template <class T>
    QWidget* operator()(T** member) const {
        T* w = Make<T>();
        *member = w;
        return w;
    }

    template <class T>
    T* Make() const {
        if constexpr (std::is_same_v<T, ListBox>) {
            return new ListBox(parent, scale(12));
        } else if constexpr (std::is_same_v<T, StringGrid>) {
            return new StringGrid(parent);
        } else if constexpr (std::is_same_v<T, RadioGroup>) {
            return new RadioGroup(parent, Lines(caption), 2);
        } else if constexpr (std::is_same_v<T, QPushButton>) {
            auto* b = new QPushButton(caption, parent);
            b->setAutoDefault(false);
            return b;
        } else if constexpr (std::is_same_v<T, QGroupBox> || std::is_same_v<T, QCheckBox>) {
            return new T(caption, parent);
        } else if constexpr (std::is_same_v<T, QComboBox>) {
            auto* combo = new QComboBox(parent);
            combo->addItems(Lines(caption));
            SetDropDownEntryHeight(combo, scale(12));
            return combo;
        } else if constexpr (std::is_same_v<T, LogLabel>) {
            return new LogLabel(parent, scale(12));
        } else if constexpr (std::is_same_v<T, QLineEdit>) {
            auto* edit = new QLineEdit(parent);
            CompositionGuard::Install(edit);
            return edit;
        } else if constexpr (std::is_same_v<T, QFrame>) {
            auto* frame = new QFrame(parent);
            frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
            return frame;
        } else if constexpr (std::is_same_v<T, QProgressBar>) {
            auto* bar = new QProgressBar(parent);
            bar->setRange(0, 100);
            bar->setValue(0);
            bar->setTextVisible(false);
            return bar;
        } else if constexpr (std::is_same_v<T, FieldPage> || std::is_same_v<T, RecordPage> ||
                             std::is_same_v<T, SortPage>) {
            return new T;  // the page control takes it as a tab
        } else {
            return new T(parent);
        }
    }
};

}  // namespace

void BuildControls(QWidget* window, const std::vector<ControlRow>& rows, Scale scale) {
    QHash<QString, QWidget*> byName{{window->objectName(), window}};
    for (const ControlRow& row : rows) {
        QWidget* parent = byName.value(QLatin1String(row.parent));
        Q_ASSERT(parent);
        const QString caption = QString::fromUtf8(row.caption);
        QWidget* w = std::visit(Maker{parent, caption, scale}, row.member);
        w->setObjectName(QLatin1String(row.name));
        byName.insert(w->objectName(), w);
        if (auto* tabs = qobject_cast<QTabWidget*>(parent)) {
            tabs->addTab(w, caption);
            continue;
        }
        w->setGeometry(scale(row.x), scale(row.y), scale(row.width), scale(row.height));
        if (auto* label = qobject_cast<QLabel*>(w)) {
            if (row.fit == Fit::Fixed) {
                label->setText(caption);
            } else {
                FitLabel(label, caption);
            }
        }
    }
}

}  // namespace quellor::ui
