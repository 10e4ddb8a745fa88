// The window's controls: kinds, names, places, sizes, texts and tab order.
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>

#include "ui/Cp932Text.h"
#include "ui/Icons.h"
#include "ui/LogLabel.h"
#include "ui/UiTexts.h"
#include "ui/Widgets.h"
#include "ui/main.h"

namespace quellor::ui {

namespace {

QString U(const char* text) {
    return QString::fromUtf8(text);
}

}  // namespace

void TfrmMain::CreateControls() {
    CreateWindowControls();
    CreateFieldPage();
    CreateRecordPage();
    CreateSortPage();
    SetTabOrder();
    for (QComboBox* c : findChildren<QComboBox*>()) SetDropDownEntryHeight(c, Scaled(12));
}

void TfrmMain::CreateWindowControls() {
    auto place = [this](QWidget* w, const char* name, int x, int y, int width, int height) {
        w->setObjectName(QLatin1String(name));
        w->setGeometry(Scaled(x), Scaled(y), Scaled(width), Scaled(height));
    };
    auto label = [&](const char* name, int x, int y, int width, const char* text) {
        auto* l = new QLabel(this);
        place(l, name, x, y, width, 12);
        SetLabelText(l, U(text));
        return l;
    };
    auto button = [&](const char* name, int x, int y, int width, int height, const char* text) {
        auto* b = new QPushButton(U(text), this);
        place(b, name, x, y, width, height);
        b->setAutoDefault(false);
        return b;
    };

    Bevel1 = new QFrame(this);
    place(Bevel1, "Bevel1", 8, 472, 473, 89);
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Label1 = label("Label1", 8, 456, 74, "【処理ﾒｯｾｰｼﾞ】");
    Label2 = label("Label2", 8, 192, 146, "【処理条件を指定して下さい】");
    Label3 = label("Label3", 8, 8, 158, "【処理ﾌｧｲﾙをﾄﾞﾛｯﾌﾟして下さい】");
    Label4 = label("Label4", 208, 8, 4, "");
    Label5 = label("Label5", 16, 480, 27, "");
    Label6 = label("Label6", 16, 520, 27, "");
    Label7 = new LogLabel(this, Scaled(12));
    place(Label7, "Label7", 304, 480, 169, 73);
    Label8 = label("Label8", 8, 24, 58, "合計0ﾌｧｲﾙ");
    // The run repaints these at once; painting their own background spares
    // repainting the window beneath them each time.
    for (QLabel* l : {Label5, Label6, Label7}) l->setAutoFillBackground(true);

    StringGrid1 = new StringGrid(this, 2, 2);
    place(StringGrid1, "StringGrid1", 208, 24, 353, 153);
    StringGrid1->horizontalHeader()->hide();
    StringGrid1->verticalHeader()->hide();
    StringGrid1->horizontalHeader()->setMinimumSectionSize(1);
    StringGrid1->verticalHeader()->setMinimumSectionSize(1);
    StringGrid1->horizontalHeader()->setDefaultSectionSize(Scaled(64));
    StringGrid1->verticalHeader()->setDefaultSectionSize(Scaled(14));
    StringGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid1->setWordWrap(false);
    StringGrid1->setTextElideMode(Qt::ElideNone);
    // The grid is one stop of the window's tab order, not a field to tab through.
    StringGrid1->setTabKeyNavigation(false);

    BitBtn1 = button("BitBtn1", 8, 160, 89, 17, "削除");
    BitBtn2 = button("BitBtn2", 488, 472, 75, 25, "全てｸﾘｱ");
    BitBtn2->setIcon(EraserIcon());
    BitBtn2->setIconSize(QSize(Scaled(16), Scaled(16)));
    BitBtn3 = button("BitBtn3", 488, 504, 75, 25, "ｽﾀｰﾄ");
    BitBtn3->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    ListBox1 = new ListBox(this, Scaled(12));
    place(ListBox1, "ListBox1", 8, 40, 193, 113);
    BitBtn4 = button("BitBtn4", 488, 536, 75, 25, "ｷｬﾝｾﾙ");
    BitBtn4->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    PageControl1 = new QTabWidget(this);
    place(PageControl1, "PageControl1", 8, 208, 553, 233);
    PageControl1->tabBar()->setAttribute(Qt::WA_Hover);
    BitBtn5 = button("BitBtn5", 112, 160, 89, 17, "全て削除");
    ProgressBar1 = new QProgressBar(this);
    place(ProgressBar1, "ProgressBar1", 16, 496, 273, 16);
    ProgressBar2 = new QProgressBar(this);
    place(ProgressBar2, "ProgressBar2", 16, 536, 273, 16);
    for (QProgressBar* bar : {ProgressBar1, ProgressBar2}) {
        bar->setRange(0, 100);
        bar->setValue(0);
        bar->setTextVisible(false);
    }
    BitBtn6 = button("BitBtn6", 488, 504, 75, 25, "中止");
    BitBtn6->setIcon(style()->standardIcon(QStyle::SP_BrowserStop));
    BitBtn6->hide();
}

void TfrmMain::CreateFieldPage() {
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    PageControl1->addTab(TabSheet1, U("ﾌｨｰﾙﾄﾞ抽出"));
    auto place = [this](QWidget* w, const char* name, int x, int y, int width, int height) {
        w->setObjectName(QLatin1String(name));
        w->setGeometry(Scaled(x), Scaled(y), Scaled(width), Scaled(height));
    };
    RadioGroup3 = new RadioGroup(TabSheet1, {U(kOn), U(kOff)}, 2);
    place(RadioGroup3, "RadioGroup3", 8, 8, 185, 33);
    GroupBox2 = new QGroupBox(
        U("抽出するﾌｨｰﾙﾄﾞを選択し並び替えてください（１番目のﾌｧｲﾙの1行目をｻﾝﾌﾟﾙとしています）"),
        TabSheet1);
    place(GroupBox2, "GroupBox2", 8, 48, 529, 153);
    Label10 = new QLabel(GroupBox2);
    place(Label10, "Label10", 8, 16, 94, 12);
    SetLabelText(Label10, U("元のﾌｨｰﾙﾄﾞと順番"));
    Label11 = new QLabel(GroupBox2);
    place(Label11, "Label11", 272, 16, 116, 12);
    SetLabelText(Label11, U("抽出するﾌｨｰﾙﾄﾞと順番"));
    ListBox2 = new ListBox(GroupBox2, Scaled(12));
    place(ListBox2, "ListBox2", 8, 32, 217, 113);
    ListBox2->setSortingEnabled(true);
    ListBox3 = new ListBox(GroupBox2, Scaled(12));
    place(ListBox3, "ListBox3", 272, 32, 217, 113);
    struct B {
        QPushButton** slot;
        const char* name;
        int x, y, w, h;
        const char* text;
    };
    const B buttons[] = {
        {&Button1, "Button1", 232, 64, 33, 17, "→"}, {&Button2, "Button2", 232, 96, 33, 17, "←"},
        {&Button3, "Button3", 496, 40, 25, 25, "▲"}, {&Button4, "Button4", 496, 64, 25, 25, "△"},
        {&Button5, "Button5", 496, 88, 25, 25, "▽"}, {&Button6, "Button6", 496, 112, 25, 25, "▼"}};
    for (const B& b : buttons) {
        *b.slot = new QPushButton(U(b.text), GroupBox2);
        place(*b.slot, b.name, b.x, b.y, b.w, b.h);
        (*b.slot)->setAutoDefault(false);
    }
}

void TfrmMain::CreateRecordPage() {
    TabSheet2 = new QWidget;
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    PageControl1->addTab(TabSheet2, U("ﾚｺｰﾄﾞ抽出"));
    auto place = [this](QWidget* w, const char* name, int x, int y, int width, int height) {
        w->setObjectName(QLatin1String(name));
        w->setGeometry(Scaled(x), Scaled(y), Scaled(width), Scaled(height));
    };
    RadioGroup2 = new RadioGroup(TabSheet2, {U(kOn), U(kOff)}, 2);
    place(RadioGroup2, "RadioGroup2", 8, 8, 185, 33);
    GroupBox1 = new QGroupBox(U("抽出するﾚｺｰﾄﾞの文字列検索条件を指定して下さい"), TabSheet2);
    place(GroupBox1, "GroupBox1", 8, 48, 529, 153);
    Label9 = new QLabel(U("が"), GroupBox1);
    place(Label9, "Label9", 111, 30, 12, 12);
    Label12 = new QLabel(U("が"), GroupBox1);
    place(Label12, "Label12", 111, 100, 12, 12);
    QStringList modes;
    for (const char* m : kModes) modes << U(m);
    auto combo = [&](const char* name, int x, int y, int w, const QStringList& items) {
        auto* c = new QComboBox(GroupBox1);
        place(c, name, x, y, w, 20);
        c->addItems(items);
        return c;
    };
    auto edit = [&](const char* name, int x, int y) {
        auto* e = new QLineEdit(GroupBox1);
        place(e, name, x, y, 249, 20);
        e->setValidator(new Cp932Validator(e));
        return e;
    };
    ComboBox1 = combo("ComboBox1", 8, 24, 97, {});
    Edit1 = edit("Edit1", 128, 24);
    ComboBox2 = combo("ComboBox2", 384, 24, 137, modes);
    RadioGroup1 = new RadioGroup(GroupBox1, {U("かつ"), U("または")}, 2);
    place(RadioGroup1, "RadioGroup1", 10, 48, 189, 33);
    ComboBox3 = combo("ComboBox3", 8, 93, 97, {});
    Edit2 = edit("Edit2", 128, 93);
    ComboBox4 = combo("ComboBox4", 384, 93, 137, modes + QStringList{QString()});
    CheckBox2 = new QCheckBox(U("抽出ﾚｺｰﾄﾞがなければﾌｧｲﾙを作成しない"), GroupBox1);
    place(CheckBox2, "CheckBox2", 8, 128, 233, 17);
}

void TfrmMain::CreateSortPage() {
    TabSheet3 = new QWidget;
    TabSheet3->setObjectName(QStringLiteral("TabSheet3"));
    PageControl1->addTab(TabSheet3, U("ｿｰﾄ"));
    auto place = [this](QWidget* w, const char* name, int x, int y, int width, int height) {
        w->setObjectName(QLatin1String(name));
        w->setGeometry(Scaled(x), Scaled(y), Scaled(width), Scaled(height));
    };
    RadioGroup4 = new RadioGroup(TabSheet3, {U(kOn), U(kOff)}, 2);
    place(RadioGroup4, "RadioGroup4", 8, 8, 185, 33);
    GroupBox3 = new QGroupBox(U("ｿｰﾄｷｰを指定して下さい"), TabSheet3);
    place(GroupBox3, "GroupBox3", 8, 48, 529, 89);
    Label14 = new QLabel(U("をｷｰに"), GroupBox3);
    place(Label14, "Label14", 112, 28, 37, 12);
    Label15 = new QLabel(U("でｿｰﾄする"), GroupBox3);
    place(Label15, "Label15", 240, 28, 54, 12);
    ComboBox5 = new QComboBox(GroupBox3);
    place(ComboBox5, "ComboBox5", 8, 24, 97, 20);
    CheckBox1 = new QCheckBox(U("重複しているﾚｺｰﾄﾞを除去し別ﾌｧｲﾙに書き出す"), GroupBox3);
    place(CheckBox1, "CheckBox1", 8, 56, 265, 17);
    ComboBox6 = new QComboBox(GroupBox3);
    place(ComboBox6, "ComboBox6", 160, 24, 73, 20);
    ComboBox6->addItems({U("昇順"), U("降順")});
}

void TfrmMain::SetTabOrder() {
    const QList<QWidget*> chain = {StringGrid1,
                                   BitBtn1,
                                   BitBtn2,
                                   BitBtn3,
                                   ListBox1,
                                   BitBtn4,
                                   PageControl1,
                                   RadioGroup3->Button(0),
                                   RadioGroup3->Button(1),
                                   ListBox2,
                                   Button1,
                                   Button2,
                                   ListBox3,
                                   Button3,
                                   Button4,
                                   Button5,
                                   Button6,
                                   RadioGroup2->Button(0),
                                   RadioGroup2->Button(1),
                                   ComboBox1,
                                   Edit1,
                                   ComboBox2,
                                   RadioGroup1->Button(0),
                                   RadioGroup1->Button(1),
                                   ComboBox3,
                                   Edit2,
                                   ComboBox4,
                                   CheckBox2,
                                   RadioGroup4->Button(0),
                                   RadioGroup4->Button(1),
                                   ComboBox5,
                                   CheckBox1,
                                   ComboBox6,
                                   BitBtn5,
                                   BitBtn6};
    for (int i = 1; i < chain.size(); ++i) QWidget::setTabOrder(chain[i - 1], chain[i]);
}

}  // namespace quellor::ui
