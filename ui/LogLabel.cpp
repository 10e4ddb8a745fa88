#include "ui/LogLabel.h"

#include <unicode/brkiter.h>
#include <unicode/unistr.h>

#include <QHelpEvent>
#include <QPainter>
#include <QTextBoundaryFinder>
#include <QToolTip>
#include <utility>

namespace quellor::ui {

namespace {

constexpr QChar kEllipsis(0x2026);

// A path at a paragraph's start cut before each "/": its folders, then the
// file name with the words after it. No folders when there is no path.
struct PathPieces {
    QStringList folders;  // each with the "/" before it
    QString rest;         // "/" and the file name, then the words after it
};

PathPieces CutPath(const QString& paragraph) {
    PathPieces p;
    const qsizetype last = paragraph.startsWith(QLatin1Char('/'))
                               ? paragraph.lastIndexOf(QLatin1Char('/'))
                               : qsizetype{0};
    for (qsizetype from = 0; from < last;) {
        const qsizetype next = paragraph.indexOf(QLatin1Char('/'), from + 1);
        p.folders << paragraph.mid(from, next - from);
        from = next;
    }
    p.rest = paragraph.mid(last);
    return p;
}

// The first and last folders kept whole, those between them given up for
// one "…": a folder's name is never cut.
QString Shortened(const PathPieces& p, qsizetype front, qsizetype back) {
    return p.folders.mid(0, front).join(QString()) + QLatin1Char('/') + kEllipsis +
           p.folders.mid(p.folders.size() - back).join(QString()) + p.rest;
}

}  // namespace

LogLabel::LogLabel(QWidget* parent, int lineHeight) : QLabel(parent), lineHeight_(lineHeight) {
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Phrases, not characters: "処理中" is not split as "処／理中".
    UErrorCode status = U_ZERO_ERROR;
    breaker_.reset(icu::BreakIterator::createLineInstance(icu::Locale("ja@lw=phrase"), status));
    if (U_FAILURE(status)) breaker_.reset();
}

LogLabel::~LogLabel() = default;

int LogLabel::Capacity() const {
    return qMax(1, contentsRect().height() / lineHeight_);
}

// Greedy filling between break opportunities; a piece wider than the box
// (a long run of Latin letters) is cut between characters.
QStringList LogLabel::Wrap(const QString& paragraph) const {
    const QFontMetricsF metrics(font());
    const qreal width = contentsRect().width();
    const auto fits = [&](const QString& s) {
        return metrics.horizontalAdvance(s.trimmed()) <= width;
    };
    QStringList pieces;
    if (breaker_) {
        const icu::UnicodeString text(reinterpret_cast<const UChar*>(paragraph.utf16()),
                                      static_cast<int32_t>(paragraph.size()));
        breaker_->setText(text);
        for (int32_t from = breaker_->first(), to = breaker_->next();
             to != icu::BreakIterator::DONE; from = to, to = breaker_->next()) {
            pieces << paragraph.mid(from, to - from);
        }
    } else {
        pieces << paragraph;
    }
    QStringList lines;
    QString line;
    for (const QString& piece : pieces) {
        if (fits(line + piece)) {
            line += piece;
            continue;
        }
        if (!line.isEmpty()) lines << std::exchange(line, QString());
        QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, piece);
        qsizetype from = 0;
        for (qsizetype at = graphemes.toNextBoundary(); at > 0; at = graphemes.toNextBoundary()) {
            const QString part = piece.mid(from, at - from);
            if (!line.isEmpty() && !fits(line + part)) lines << std::exchange(line, QString());
            line += part;
            from = at;
        }
    }
    if (!line.isEmpty() || lines.isEmpty()) lines << line;
    return lines;
}

QStringList LogLabel::WrapAll(const QStringList& paragraphs) const {
    QStringList lines;
    for (const QString& p : paragraphs) lines << Wrap(p);
    return lines;
}

QStringList LogLabel::ShownLines() const {
    QStringList paragraphs = text().remove(QLatin1Char('\r')).split(QLatin1Char('\n'));
    QStringList lines = WrapAll(paragraphs);
    const int capacity = Capacity();
    for (QString& paragraph : paragraphs) {
        const PathPieces path = CutPath(paragraph);
        // The most folders that let every line fit, one more at the front
        // than at the end when their number is odd.
        for (qsizetype keep = path.folders.size() - 1; lines.size() > capacity && keep >= 0;
             --keep) {
            paragraph = Shortened(path, keep - keep / 2, keep / 2);
            lines = WrapAll(paragraphs);
        }
    }
    // Still too many (a file name longer than the box): the newest lines.
    if (lines.size() > capacity) lines = lines.mid(lines.size() - capacity);
    return lines;
}

void LogLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    painter.setFont(font());
    const QRect box = contentsRect();
    const QFontMetricsF metrics(font());
    // Glyphs sit on the line's baseline; what the font puts below it fits
    // under the next line's top.
    const qreal ascent = qMin<qreal>(metrics.ascent(), lineHeight_ - metrics.descent());
    qreal top = box.top();
    for (const QString& line : ShownLines()) {
        painter.drawText(QPointF(box.left(), top + ascent), line);
        top += lineHeight_;
    }
}

bool LogLabel::event(QEvent* e) {
    if (e->type() != QEvent::ToolTip) return QLabel::event(e);
    // The whole log, with every path in full, below the hint.
    QString tip = toolTip();
    QString whole = text();
    whole.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    if (ShownLines().join(QString()) != whole) tip += QStringLiteral("\n\n") + text();
    QToolTip::showText(static_cast<QHelpEvent*>(e)->globalPos(), tip, this);
    return true;
}

}  // namespace quellor::ui
