// The old window's radio group, which Qt does not offer as it is needed.
#pragma once

#include <QButtonGroup>
#include <QGroupBox>
#include <QStringList>

namespace quellor::ui {

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

}  // namespace quellor::ui
