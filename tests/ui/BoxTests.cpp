// The message boxes, the error box text and the code page 932 edit boxes.
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTest>
#include <QTimer>

#include "UiFixture.h"
#include "records/Exceptions.h"
#include "records/SearchText.h"
#include "ui/Cp932Text.h"
#include "ui/ErrorDisplay.h"

namespace quellor::ui::test {
namespace {

struct PeriodCase {
    const char* message;
    const char* shown;
};

TEST(ErrorBoxText, AddsPeriodOnlyAfterCharactersAboveIt) {
    const PeriodCase cases[] = {
        {"", ""},
        {"abc", "abc."},
        {"abc.", "abc."},
        {"ends in blank ", "ends in blank "},
        {"a,", "a,"},
        {"a-", "a-"},
        {"(x)", "(x)"},
        {"9", "9."},
        {"/", "/."},
        {"ユーザーにより中断されました", "ユーザーにより中断されました."},
        {"ﾌｨｰﾙﾄﾞ", "ﾌｨｰﾙﾄﾞ."},
        {"数が4です", "数が4です."},
        {"line\r\n", "line\r\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(ErrorBoxText(c.message), c.shown) << c.message;
}

TEST(ApplicationTitle, IsProgramNameWithoutExtension) {
    // The test program is called ui_tests: first character kept, rest lower.
    EXPECT_EQ(ApplicationTitle(), QStringLiteral("ui_tests"));
}

class GuardTest : public UiTest {};

TEST_F(GuardTest, ErrorsLeavingAHandlerReachTheErrorBoxAndTheSilentKindDoesNot) {
    Guarded([] { throw EStringListError("行目でｴﾗｰ"); });
    Guarded([] { throw EAbort("quiet"); });
    Guarded([] { throw EInOutError(2); });
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].kind, BoxKind::Error);
    EXPECT_EQ(boxes[0].title, ApplicationTitle());
    EXPECT_EQ(boxes[0].text, U("行目でｴﾗｰ."));
    EXPECT_EQ(boxes[1].text, U("ファイルが見つかりません."));
}

TEST_F(GuardTest, BoxesCloseAtOnceOnceTheProgramIsEnding) {
    MessageBoxes::SetEnding(true);
    MessageBoxes::ShowInformation(U("処理が終わりました"));
    Guarded([] { throw Exception("x"); });
    EXPECT_TRUE(boxes.empty());
}

// The real dialog: one OK button, default and cancel at once, centred,
// wrapped at half the screen width, lines broken at CR LF.
TEST(MessageDialog, LooksAndClosesAsItShould) {
    MessageBoxes::SetHook(nullptr);
    MessageBoxes::SetEnding(false);
    QString text = U("一行目\r\n") + QString(400, QChar(0x3042));
    int checks = 0;
    auto inspect = [&](int key) {
        QTimer::singleShot(0, [&, key] {
            auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->windowTitle(), U("警告"));
            auto buttons = box->findChildren<QPushButton*>();
            ASSERT_EQ(buttons.size(), 1);
            EXPECT_EQ(buttons[0]->text(), QStringLiteral("OK"));
            EXPECT_TRUE(buttons[0]->isDefault());
            QRect screen = box->screen()->geometry();
            EXPECT_LE(qAbs(box->geometry().center().x() - screen.center().x()), 2);
            EXPECT_LE(qAbs(box->geometry().center().y() - screen.center().y()), 2);
            QLabel* label = nullptr;
            for (QLabel* l : box->findChildren<QLabel*>()) {
                if (!l->text().isEmpty()) label = l;
            }
            ASSERT_NE(label, nullptr);
            EXPECT_TRUE(label->text().startsWith(U("一行目\n")));
            EXPECT_LE(label->width(), screen.width() / 2);
            ++checks;
            QTest::keyClick(box, static_cast<Qt::Key>(key));
        });
        MessageBoxes::ShowWarning(text);
    };
    inspect(Qt::Key_Return);
    inspect(Qt::Key_Escape);
    EXPECT_EQ(checks, 2);
}

TEST(MessageDialog, EachKindShowsItsOwnIcon) {
    MessageBoxes::SetHook(nullptr);
    MessageBoxes::SetEnding(false);
    const std::pair<void (*)(const QString&), QStyle::StandardPixmap> kinds[] = {
        {&MessageBoxes::ShowWarning, QStyle::SP_MessageBoxWarning},
        {&MessageBoxes::ShowInformation, QStyle::SP_MessageBoxInformation},
        {&MessageBoxes::ShowError, QStyle::SP_MessageBoxCritical},
    };
    for (auto [show, icon] : kinds) {
        bool seen = false;
        QTimer::singleShot(0, [&, icon] {
            auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            int side = box->style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, box);
            QImage expected =
                box->style()->standardIcon(icon, nullptr, box).pixmap(side, side).toImage();
            for (QLabel* l : box->findChildren<QLabel*>()) {
                if (!l->pixmap().isNull()) seen = l->pixmap().toImage() == expected;
            }
            box->accept();
        });
        show(U("x"));
        EXPECT_TRUE(seen) << icon;
    }
}

TEST(Cp932Text, SearchTextsMapLookAlikesAndMissWhatHasNoCode) {
    ASSERT_TRUE(SearchTextAsCp932("～－∥―￠￡￢"));
    EXPECT_EQ(SearchTextAsCp932("〜−‖—¢£¬"), SearchTextAsCp932("～－∥―￠￡￢"));
    EXPECT_EQ(SearchTextAsCp932("～"), std::string("\x81\x60"));
    EXPECT_EQ(SearchTextAsCp932("ｱ,A"), std::string("\xB1,A"));
    EXPECT_TRUE(SearchTextAsCp932("表①髙"));
    EXPECT_FALSE(SearchTextAsCp932("é"));
    EXPECT_FALSE(SearchTextAsCp932("\xF0\x9F\x98\x80"));
    EXPECT_EQ(ShowCp932(std::string("\x95\x5C\xB1")), U("表ｱ"));
}

class EditBoxTest : public UiTest {
  protected:
    // Types each character as a key press carrying its text, as an input method does.
    void Type(QWidget* w, const QString& text) {
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(w, &press);
        }
    }
};

// A search text is encoded per file when the run starts, so the boxes keep
// every character as typed: UTF-8 files may hold what code page 932 cannot.
TEST_F(EditBoxTest, TypingAndPastingKeepWhatWasTyped) {
    Choose(Named<RadioGroup>("RadioGroup2"), 0);
    QLineEdit* edit = Named<QLineEdit>("Edit1");
    edit->setFocus();
    Type(edit, U("a〜b"));
    EXPECT_EQ(edit->text(), U("a〜b"));
    Type(edit, U("é"));
    EXPECT_EQ(edit->text(), U("a〜bé"));
    edit->selectAll();
    edit->insert(U("x−y") + QString::fromUtf8("\xF0\x9F\x98\x80"));  // as a paste does
    EXPECT_EQ(edit->text(), U("x−y") + QString::fromUtf8("\xF0\x9F\x98\x80"));
}

}  // namespace
}  // namespace quellor::ui::test
