// Another program's drag, for a test of drops in a real X server: a small
// window at the screen's top left corner that drags the files named on its
// command line (as file URLs, as a file manager does) whenever the mouse is
// pressed in it. Reports on standard output "ready" once shown, and after
// each drag "dropped copy" when the target took it or "dropped ignore" when
// it was refused.
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWidget>
#include <cstdio>

namespace {

class Source : public QWidget {
  public:
    explicit Source(QList<QUrl> urls) : urls_(std::move(urls)) {}

  protected:
    void mousePressEvent(QMouseEvent*) override {
        auto* drag = new QDrag(this);
        auto* mime = new QMimeData;
        mime->setUrls(urls_);
        drag->setMimeData(mime);
        const Qt::DropAction done = drag->exec(Qt::CopyAction);
        std::printf("dropped %s\n", done == Qt::CopyAction ? "copy" : "ignore");
        std::fflush(stdout);
    }

  private:
    QList<QUrl> urls_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QList<QUrl> urls;
    for (const QString& path : QApplication::arguments().mid(1)) {
        urls << QUrl::fromLocalFile(path);
    }
    Source source(urls);
    source.setWindowTitle(QStringLiteral("drag source"));
    source.setGeometry(0, 0, 100, 100);
    source.show();
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}
