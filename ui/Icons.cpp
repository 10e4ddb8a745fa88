#include "ui/Icons.h"

#include <QPainter>
#include <QPixmap>

namespace quellor::ui {

namespace {

QList<QRgb> SixteenColours() {
    return {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
            qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
            qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
            qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
}

// A sheet of ruled cells with a comma in the middle row and a pencil.
void PaintSheet(QPainter& p) {
    p.fillRect(4, 2, 22, 28, Qt::white);
    p.setPen(QColor(0, 0, 0));
    p.drawRect(4, 2, 21, 27);
    p.setPen(QColor(0, 0, 128));
    for (int y = 8; y < 29; y += 5) p.drawLine(5, y, 24, y);
    p.setPen(QColor(128, 128, 128));
    p.drawLine(12, 3, 12, 28);
    p.drawLine(18, 3, 18, 28);
    p.fillRect(5, 3, 20, 5, QColor(0, 128, 128));
    p.fillRect(14, 15, 2, 2, QColor(255, 0, 0));
    p.fillRect(15, 17, 1, 2, QColor(255, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 0));
    p.drawPolygon(QPolygon({{20, 30}, {30, 20}, {31, 23}, {23, 31}}));
    p.setBrush(QColor(128, 0, 0));
    p.drawPolygon(QPolygon({{18, 31}, {20, 30}, {23, 31}}));
}

}  // namespace

QImage ProgramIconImage() {
    QImage art(32, 32, QImage::Format_ARGB32);
    art.fill(Qt::transparent);
    QPainter p(&art);
    PaintSheet(p);
    p.end();
    QImage indexed(32, 32, QImage::Format_Indexed8);
    QList<QRgb> table = SixteenColours();
    table.append(qRgba(0, 0, 0, 0));  // the transparent mask
    indexed.setColorTable(table);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            QRgb c = art.pixel(x, y);
            int best = 16;
            if (qAlpha(c) >= 128) {
                int bestDist = INT_MAX;
                for (int i = 0; i < 16; ++i) {
                    QRgb t = table[i];
                    int d = (qRed(c) - qRed(t)) * (qRed(c) - qRed(t)) +
                            (qGreen(c) - qGreen(t)) * (qGreen(c) - qGreen(t)) +
                            (qBlue(c) - qBlue(t)) * (qBlue(c) - qBlue(t));
                    if (d < bestDist) bestDist = d, best = i;
                }
            }
            indexed.setPixel(x, y, static_cast<uint>(best));
        }
    }
    return indexed;
}

QIcon ProgramIcon() {
    return QIcon(QPixmap::fromImage(ProgramIconImage()));
}

QImage EraserImage() {
    QImage img(16, 16, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(0, 0, 0));
    p.setBrush(QColor(255, 160, 192));
    p.drawPolygon(QPolygon({{1, 10}, {7, 4}, {11, 8}, {5, 14}}));
    p.setBrush(QColor(64, 96, 224));
    p.drawPolygon(QPolygon({{7, 4}, {10, 1}, {14, 5}, {11, 8}}));
    p.setPen(QColor(128, 128, 128));
    p.drawLine(6, 15, 15, 15);
    return img;
}

QImage GreyedTwin(const QImage& image) {
    QImage grey = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < grey.height(); ++y) {
        for (int x = 0; x < grey.width(); ++x) {
            QRgb c = grey.pixel(x, y);
            if (qAlpha(c) == 0) continue;
            int g = 128 + qGray(c) / 2;
            grey.setPixel(x, y, qRgba(g, g, g, qAlpha(c)));
        }
    }
    return grey;
}

QIcon EraserIcon() {
    QIcon icon;
    QImage img = EraserImage();
    icon.addPixmap(QPixmap::fromImage(img), QIcon::Normal);
    icon.addPixmap(QPixmap::fromImage(GreyedTwin(img)), QIcon::Disabled);
    return icon;
}

}  // namespace quellor::ui
