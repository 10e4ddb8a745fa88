// Files dropped from the file manager, anywhere on the window.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include "ui/ErrorDisplay.h"
#include "ui/FileList.h"
#include "ui/MainWindow.h"

namespace quellor::ui {

namespace {

bool CarriesLocalFiles(const QMimeData* data) {
    if (!data || !data->hasUrls()) return false;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) return true;
    }
    return false;
}

// The path of a local file URL as the bytes the file manager encoded. Going
// through QString would turn a name that is not UTF-8 (a code page 932 name
// copied from an old share) into another name.
QByteArray LocalPathBytes(const QUrl& url) {
    return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
}

}  // namespace

void MainWindow::dragEnterEvent(QDragEnterEvent* e) {
    if (CarriesLocalFiles(e->mimeData())) e->acceptProposedAction();
}

void MainWindow::dragMoveEvent(QDragMoveEvent* e) {
    if (CarriesLocalFiles(e->mimeData())) e->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* e) {
    if (!CarriesLocalFiles(e->mimeData())) return;
    e->acceptProposedAction();
    TakeDrop(e->mimeData());
}

bool MainWindow::eventFilter(QObject* watched, QEvent* e) {
    switch (e->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(e);
            if (!CarriesLocalFiles(drag->mimeData())) break;
            drag->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(e);
            if (!CarriesLocalFiles(drop->mimeData())) break;
            drop->acceptProposedAction();
            TakeDrop(drop->mimeData());
            return true;
        }
        default:
            break;
    }
    return QWidget::eventFilter(watched, e);
}

// The program the files come from waits until the drop is finished: the
// paths are taken now and added once the drop has returned, so a box that
// adding them opens keeps nobody else waiting.
void MainWindow::TakeDrop(const QMimeData* mime) {
    // Paths are kept whole, exactly as the drop delivers them.
    std::vector<QByteArray> paths;
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile()) paths.push_back(LocalPathBytes(url));
    }
    OpenFiles(paths);
}

void MainWindow::OpenFiles(const std::vector<QByteArray>& paths) {
    if (paths.empty()) return;
    QMetaObject::invokeMethod(
        this, [this, paths] { Guarded([&] { TakeOpened(paths); }); }, Qt::QueuedConnection);
}

}  // namespace quellor::ui
