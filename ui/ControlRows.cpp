// The one builder of the rows: every control of the window is made here.
#include "ui/ControlRows.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>

#include "ui/Composition.h"
#include "ui/EntryHeight.h"
#include "ui/ListBox.h"
#include "ui/LogLabel.h"
#include "ui/RadioGroup.h"
#include "ui/StringGrid.h"

namespace quellor::ui {

namespace {

// Marks the labels that FitLabelsOnShow measures again.
constexpr char kFitsOnShow[] = "quellorFitsOnShow";

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
        } else {
            return new T(parent);
        }
    }
};

}  // namespace

void BuildControls(QWidget* root, std::initializer_list<ControlRow> rows, Scale scale) {
    QHash<QString, QWidget*> byName{{root->objectName(), root}};
    for (const ControlRow& row : rows) {
        QWidget* parent = byName.value(QLatin1String(row.parent));
        Q_ASSERT(parent);
        const QString caption = QString::fromUtf8(row.caption);
        QWidget* w = std::visit(Maker{parent, caption, scale}, row.member);
        w->setObjectName(QLatin1String(row.name));
        byName.insert(w->objectName(), w);
        w->setGeometry(scale(row.x), scale(row.y), scale(row.width), scale(row.height));
        auto* label = qobject_cast<QLabel*>(w);
        if (!label) continue;
        if (row.fit == Fit::Fixed) {
            label->setText(caption);
        } else {
            FitLabel(label, caption);
        }
        if (row.fit == Fit::ToTextOnShow) label->setProperty(kFitsOnShow, true);
    }
}

void AddPage(QTabWidget* pages, QWidget* page, const char* name, const char* tabText) {
    page->setObjectName(QLatin1String(name));
    pages->addTab(page, QString::fromUtf8(tabText));
}

void FitLabel(QLabel* label, const QString& text) {
    label->setText(text);
    int width = label->fontMetrics().horizontalAdvance(text);
    if (width != label->width()) label->resize(width, label->height());
}

void FitLabelsOnShow(QWidget* window) {
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (label->property(kFitsOnShow).toBool()) FitLabel(label, label->text());
    }
}

}  // namespace quellor::ui
