// A shown main window, a temporary folder of real files, and every message
// box answered and recorded.
#pragma once

#include <gtest/gtest.h>

#include <QListWidget>
#include <QStringList>
#include <QTableWidget>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/MainWindow.h"
#include "ui/MessageBoxes.h"
#include "ui/RadioGroup.h"

namespace quellor::ui::test {

struct Box {
    BoxKind kind;
    QString title;
    QString text;
};

class UiTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Writes bytes to a file in the temporary folder; returns its path.
    QString Write(const QString& name, const std::string& bytes);
    std::string Read(const QString& path) const;
    bool Exists(const QString& path) const;
    QString Path(const QString& name) const;

    // Drops local files on a widget as a file manager would.
    void Drop(QWidget* target, const QStringList& paths);
    // Drags local files over a widget and drops them there; whether the
    // window took the drag's enter, its move and the drop, in that order.
    QList<bool> Offer(QWidget* target, const QStringList& paths);
    // Clicks entries of a list as the user would (Ctrl adds to the selection).
    void ClickEntry(QListWidget* list, int row, Qt::KeyboardModifiers mods = Qt::NoModifier);
    void DoubleClickEntry(QListWidget* list, int row);
    void Click(QWidget* button);
    // Shows the page of a radio group and clicks its item, as a user must.
    void Choose(RadioGroup* group, int item);
    // Chooses the fields, by number, one at a time with "→".
    void ChooseFields(const std::vector<int>& numbers);

    // A control of the window by its object name, as tests and hints know it.
    template <class T = QWidget>
    T* Named(const char* name) const {
        T* w = win->findChild<T*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    // The text of a cell of the preview grid.
    QString Cell(int row, int column) const;

    std::unique_ptr<MainWindow> win;
    std::vector<Box> boxes;
    // Runs when a box is shown (before it is recorded as answered).
    std::function<void(const Box&)> onBox;
    // Answers the job dialogs of Ctrl+S and Ctrl+O: a path, or "" to cancel.
    std::function<QString(bool saving)> jobAnswer = [](bool) { return QString(); };
    QTemporaryDir dir;
};

QString U(const char* text);

}  // namespace quellor::ui::test
