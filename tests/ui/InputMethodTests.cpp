// The search boxes fed by an input method: what it composes is left alone,
// what it commits is checked, and the keys it is given act on the
// composition, not on the window.
#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include "UiFixture.h"
#include "ui/RadioGroup.h"

namespace quellor::ui::test {
namespace {

class InputMethodTest : public UiTest {
  protected:
    void SetUp() override {
        UiTest::SetUp();
        Choose(win->findChild<RadioGroup*>(QStringLiteral("RadioGroup2")), 0);
        edit = win->findChild<QLineEdit*>(QStringLiteral("Edit1"));
        ASSERT_NE(edit, nullptr);
        edit->setFocus();
    }

    // What the input method sends: the composition shown (with the caret
    // at its end) and the text committed, as one event.
    void Compose(const QString& preedit, const QString& commit = {}) {
        QList<QInputMethodEvent::Attribute> attributes;
        if (!preedit.isEmpty()) {
            attributes << QInputMethodEvent::Attribute(QInputMethodEvent::Cursor,
                                                       int(preedit.size()), 1, QVariant());
        }
        QInputMethodEvent e(preedit, attributes);
        if (!commit.isEmpty()) e.setCommitString(commit);
        QApplication::sendEvent(edit, &e);
    }

    int CaretX() { return edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().x(); }

    QLineEdit* edit = nullptr;
};

TEST_F(InputMethodTest, CommittedTextIsKeptAsTyped) {
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
    struct Step {
        QString preedit, commit, text;
        bool refused;
    };
    const Step steps[] = {
        // Composing: shown whole, whatever it holds, and not yet text.
        {U("〜") + emoji, {}, {}, false},
        {U("しきゅう"), {}, {}, false},
        {{}, U("至急"), U("至急"), false},
        // Committed while the next composition goes on: nothing refused or
        // mapped, since each file's encoding decides only when a run starts.
        {U("し"), U("〜"), U("至急〜"), false},
        {{}, emoji, U("至急〜") + emoji, false},
        {{}, U("−"), U("至急〜") + emoji + U("−"), false},
    };
    QSignalSpy refusals(edit, &QLineEdit::inputRejected);
    const int start = CaretX();
    for (const Step& step : steps) {
        SCOPED_TRACE(qPrintable(step.preedit + u'|' + step.commit));
        qsizetype refusedBefore = refusals.size();
        Compose(step.preedit, step.commit);
        EXPECT_EQ(edit->text(), step.text);
        EXPECT_EQ(refusals.size() > refusedBefore, step.refused);
        // The caret stands after the text and the whole composition.
        int shown = edit->fontMetrics().horizontalAdvance(step.text + step.preedit);
        EXPECT_NEAR(CaretX() - start, shown, 2);
    }
    // Committed text is typed text: the user can take it back.
    EXPECT_TRUE(edit->isUndoAvailable());
}

TEST_F(InputMethodTest, EnterAndEscDuringACompositionLeaveTheWindowAlone) {
    Compose(U("しきゅう"));
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(win->isVisible());

    Compose({}, U("至急"));
    QTest::keyClick(edit, Qt::Key_Return);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, U("処理ﾌｧｲﾙがありません"));

    // A composition dropped (Esc taken by the input method) leaves the keys
    // to the window again.
    Compose(U("きょう"));
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_TRUE(win->isVisible());
    Compose({});
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_FALSE(win->isVisible());
    EXPECT_EQ(edit->text(), U("至急"));
}

TEST_F(InputMethodTest, ACompositionLeftBehindByTheFocusDoesNotHoldTheKeys) {
    Compose(U("しきゅう"));
    auto* other = win->findChild<QLineEdit*>(QStringLiteral("Edit2"));
    other->setFocus();
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(boxes.size(), 1u);
}

}  // namespace
}  // namespace quellor::ui::test
