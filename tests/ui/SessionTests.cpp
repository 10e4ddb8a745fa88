// How the window answers while a run works on its own thread, and what it logs.
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>
#include <csignal>
#include <utility>

#include "UiFixture.h"

namespace quellor::ui::test {
namespace {

class SessionTest : public UiTest {
  protected:
    // Calls the check on every pass of the event loop while a run is going.
    void EveryPass(std::function<void()> check) {
        auto* timer = new QTimer(win.get());
        timer->setInterval(0);
        QObject::connect(timer, &QTimer::timeout, timer, [this, check] {
            if (win->Running()) check();
        });
        timer->start();
    }
    static std::string Records(int count) {
        std::string out;
        for (int r = 0; r < count; ++r) out += std::to_string(r) + ",x\r\n";
        return out;
    }
};

TEST_F(SessionTest, ClickDuringALongRunIsHandledWithinMilliseconds) {
    Drop(win.get(), {Write(U("big.csv"), Records(1000000))});
    ChooseFields({2});
    Choose(Named<RadioGroup>("RadioGroup2"), 0);
    Named<QComboBox>("ComboBox1")->setCurrentIndex(2);
    Named<QLineEdit>("Edit1")->setText(U("x"));
    QElapsedTimer sinceClick;
    qint64 waited = -1;
    bool posted = false;
    QObject::connect(Named<QPushButton>("BitBtn6"), &QPushButton::clicked, win.get(),
                     [&] { waited = sinceClick.elapsed(); });
    EveryPass([&] {
        if (posted) return;
        posted = true;
        // Due in a millisecond: delivered by the next pass the run allows.
        QTimer::singleShot(1, Qt::PreciseTimer, win.get(), [&] {
            if (win->Running()) Click(Named<QPushButton>("BitBtn6"));
        });
        sinceClick.start();
    });
    Click(Named<QPushButton>("BitBtn3"));
    ASSERT_GE(waited, 0) << "the click came only after the run";
    EXPECT_LT(waited, 400);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, U("ユーザーにより中断されました."));
}

// A polite kill (or Ctrl-C in the terminal that started the program) stops
// the run as "中止" would, without a box waiting for anyone, and ends the
// program with nothing half-written.
TEST_F(SessionTest, InterruptStopsTheRunAndClosesTheWindow) {
    const QString big = Write(U("big.csv"), Records(1000000));
    Drop(win.get(), {big});
    ChooseFields({2});
    win->EndOnInterrupts();
    bool sent = false;
    EveryPass([&] {
        if (!std::exchange(sent, true)) ::raise(SIGTERM);
    });
    Click(Named<QPushButton>("BitBtn3"));
    ASSERT_TRUE(sent);
    EXPECT_FALSE(win->isVisible());
    EXPECT_FALSE(win->Running());
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(Exists(big + ".new"));
    EXPECT_TRUE(Named<QLabel>("Label7")->text().endsWith(U("\nユーザーにより中断されました")));
}

TEST_F(SessionTest, ElapsedTimeLeavesOutTheInformationBox) {
    Drop(win.get(), {Write(U("a.csv"), Records(10))});
    ChooseFields({1});
    onBox = [](const Box& box) {
        if (box.kind == BoxKind::Information) QThread::msleep(1500);
    };
    Click(Named<QPushButton>("BitBtn3"));
    QRegularExpressionMatch m =
        QRegularExpression(U("処理時間(\\d+)ﾐﾘ秒")).match(Named<QLabel>("Label7")->text());
    ASSERT_TRUE(m.hasMatch());
    EXPECT_LT(m.captured(1).toInt(), 1000);
}

}  // namespace
}  // namespace quellor::ui::test
