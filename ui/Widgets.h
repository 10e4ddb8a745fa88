// The control kinds of the window that Qt does not offer as they are needed.
#pragma once

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QListWidget>
#include <QProxyStyle>
#include <QStringList>

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
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

  private:
    template <class F>
    void AsUser(F&& f);

    int extent_ = 0;
    int userInput_ = 0;
    bool changedByUser_ = false;
};

// A frame of radio buttons laid out in columns, with an item index.
class RadioGroup : public QGroupBox {
    Q_OBJECT
  public:
    RadioGroup(QWidget* parent, const QStringList& items, int columns);

    int ItemIndex() const { return group_->checkedId(); }
    void SetItemIndex(int index);
    QAbstractButton* Button(int index) const { return group_->button(index); }

  signals:
    // The user clicked one of the buttons.
    void clicked();

  protected:
    void resizeEvent(QResizeEvent* e) override;

  private:
    QButtonGroup* group_;
    int columns_;
};

// Gives a drop-down list's entries the height of the old lists; the style's
// menu-like entries are nearly twice as high.
void SetDropDownEntryHeight(QComboBox* combo, int height);

// The hint delay before a tooltip shows.
class HintStyle : public QProxyStyle {
  public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override;
};

// Installs the hint timing for the whole application (once).
void ApplyHintTiming();

}  // namespace quellor::ui
