// How the window lets events through while a run works, and what it logs.
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QThread>
#include <QTimer>

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

TEST_F(SessionTest, EventsGetThroughInEveryFileHoweverSmall) {
    QStringList files;
    for (int i = 1; i <= 6; ++i) files << Write(QStringLiteral("%1.csv").arg(i), Records(10));
    Drop(win.get(), files);
    ChooseFields({1});
    QSet<QString> seen;
    EveryPass([&] { seen.insert(Named<QLabel>("Label5")->text()); });
    Click(Named<QPushButton>("BitBtn3"));
    for (int done = 0; done < 6; ++done) {
        EXPECT_TRUE(seen.contains(U("%1/6ﾌｧｲﾙ処理").arg(done))) << done;
    }
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
