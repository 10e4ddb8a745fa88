// Writes the program's icon for the desktop's icon theme: the 32 x 32 image
// the window uses, enlarged pixel for pixel, and the same pixels as SVG so
// that any size stays sharp. Usage: quellor_icons OUTPUT_FOLDER
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTextStream>
#include <cstdio>

#include "ui/Icons.h"

namespace {

// Each row's runs of one colour become one rectangle; transparent pixels
// are left out.
QString SvgOf(const QImage& image) {
    QString svg;
    QTextStream out(&svg);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << image.width() << "\" height=\""
        << image.height() << "\" viewBox=\"0 0 " << image.width() << ' ' << image.height()
        << "\" shape-rendering=\"crispEdges\">\n";
    for (int y = 0; y < image.height(); ++y) {
        int x = 0;
        while (x < image.width()) {
            QRgb c = image.pixel(x, y);
            int end = x + 1;
            while (end < image.width() && image.pixel(end, y) == c) ++end;
            if (qAlpha(c) != 0) {
                out << "<rect x=\"" << x << "\" y=\"" << y << "\" width=\"" << end - x
                    << "\" height=\"1\" fill=\"" << QColor(c).name() << "\"/>\n";
            }
            x = end;
        }
    }
    out << "</svg>\n";
    return svg;
}

bool Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size() && file.flush();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    QDir root(QString::fromLocal8Bit(argv[1]));
    QImage icon = quellor::ui::ProgramIconImage().convertToFormat(QImage::Format_ARGB32);
    for (int size : {32, 48, 64, 128, 256}) {
        QString folder = QStringLiteral("%1x%1/apps").arg(size);
        QImage scaled = icon.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        if (!root.mkpath(folder) || !scaled.save(root.filePath(folder + "/quellor.png"))) {
            std::fprintf(stderr, "cannot write the %dx%d icon\n", size, size);
            return 1;
        }
    }
    if (!root.mkpath("scalable/apps") ||
        !Write(root.filePath("scalable/apps/quellor.svg"), SvgOf(icon).toUtf8())) {
        std::fprintf(stderr, "cannot write the scalable icon\n");
        return 1;
    }
    return 0;
}
