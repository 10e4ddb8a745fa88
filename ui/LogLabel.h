// The run's message log: a fixed box of word-wrapped lines.
#pragma once

#include <unicode/uversion.h>

#include <QLabel>
#include <QStringList>
#include <memory>

U_NAMESPACE_BEGIN
class BreakIterator;
U_NAMESPACE_END

namespace quellor::ui {

// Lines stand a fixed distance apart, as the log was designed: six of them
// fill the box. A Japanese font's own line spacing is wider and would push
// the last line out of sight.
class LogLabel : public QLabel {
    Q_OBJECT
  public:
    LogLabel(QWidget* parent, int lineHeight);
    ~LogLabel() override;

    // The lines as drawn: wrapped only where Japanese line breaking allows,
    // as many as fit whole. A file's path that would push lines out of the
    // box loses whole folders from its middle ("…"); its file name stays whole.
    QStringList ShownLines() const;

  protected:
    void paintEvent(QPaintEvent* e) override;
    bool event(QEvent* e) override;

  private:
    QStringList Wrap(const QString& paragraph) const;
    QStringList WrapAll(const QStringList& paragraphs) const;
    int Capacity() const;

    int lineHeight_;
    std::unique_ptr<icu::BreakIterator> breaker_;
};

}  // namespace quellor::ui
