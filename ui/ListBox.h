// The old window's list box, which Qt does not offer as it is needed.
#pragma once

#include <QListWidget>
#include <QStringList>

#include "ui/Scale.h"

namespace quellor::ui {

// A multi-select list whose horizontal scroll extent is set by the program,
// and which tells user-made selection changes apart from the program's own.
class ListBox : public QListWidget {
    Q_OBJECT
  public:
    ListBox(QWidget* parent, int entryHeight);

    void SetScrollExtent(int pixels);
    int ScrollExtent() const { return extent_; }
    QStringList Texts() const;

  signals:
    // A selection change made by mouse or keyboard.
    void userSelectionChanged();
    // A double-click anywhere in the list.
    void userDoubleClicked();

  protected:
    void updateGeometries() override;
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

  private:
    template <class F>
    void AsUser(F&& f);

    int entryHeight_;
    int extent_ = 0;
    int userInput_ = 0;
    bool changedByUser_ = false;
};

// A list box's horizontal extent: its widest entry and 5 pixels to spare;
// an empty list keeps the extent it had.
void FitScrollWidth(ListBox* list, Scale scale);

}  // namespace quellor::ui
