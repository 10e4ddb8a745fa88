// The run's message log: a fixed box of word-wrapped lines.
#pragma once

#include <QLabel>

namespace quellor::ui {

// Lines stand a fixed distance apart, as the log was designed: six of them
// fill the box. A Japanese font's own line spacing is wider and would push
// the last line out of sight.
class LogLabel : public QLabel {
    Q_OBJECT
  public:
    LogLabel(QWidget* parent, int lineHeight);

  protected:
    void paintEvent(QPaintEvent* e) override;

  private:
    int lineHeight_;
};

}  // namespace quellor::ui
