#include "ui/LogLabel.h"

#include <QPainter>
#include <QTextLayout>

namespace quellor::ui {

LogLabel::LogLabel(QWidget* parent, int lineHeight) : QLabel(parent), lineHeight_(lineHeight) {
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void LogLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    const QRect box = contentsRect();
    const QFontMetricsF metrics(font());
    // Glyphs sit on the line's baseline; what the font puts below it fits
    // under the next line's top.
    const qreal ascent = qMin<qreal>(metrics.ascent(), lineHeight_ - metrics.descent());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    qreal y = box.top();
    for (const QString& paragraph : text().split(QLatin1Char('\n'))) {
        QTextLayout layout(paragraph, font());
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(box.width());
            line.setPosition(QPointF(0, y + ascent - line.ascent()));
            y += lineHeight_;
        }
        layout.endLayout();
        layout.draw(&painter, QPointF(box.left(), 0));
        if (y >= box.bottom() + lineHeight_) break;
    }
}

}  // namespace quellor::ui
