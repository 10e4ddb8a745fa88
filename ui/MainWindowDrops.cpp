// Files dropped from the file manager, anywhere on the window, and files
// named on the command line, which are taken exactly as a drop of them.
#include <sys/stat.h>
#include <unistd.h>

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <cstdlib>

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

QByteArray CurrentFolder() {
    char* cwd = ::getcwd(nullptr, 0);
    QByteArray folder = cwd ? QByteArray(cwd) : QByteArray();
    std::free(cwd);
    return folder;
}

bool IsLink(const QByteArray& path) {
    struct stat st {};
    return ::lstat(path.constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

// A path as a file manager delivers it: absolute, without "." and "..", and
// without doubled slashes, so that one file is listed once however it was
// named. Bytes throughout: a name that is not UTF-8 stays the file it names.
// The system reads ".." after a link to a folder as the folder above the
// link's target, so such a link is resolved first.
QByteArray DropForm(const QByteArray& path) {
    const QByteArray whole = path.startsWith('/') ? path : CurrentFolder() + '/' + path;
    QByteArray out;  // empty stands for the root
    for (const QByteArray& part : whole.split('/')) {
        if (part.isEmpty() || part == ".") continue;
        if (part != "..") {
            out += '/' + part;
            continue;
        }
        if (IsLink(out)) {
            if (char* real = ::realpath(out.constData(), nullptr)) {
                out = real;
                std::free(real);
            }
        }
        out.truncate(qMax<qsizetype>(out.lastIndexOf('/'), 0));
    }
    return out.isEmpty() ? QByteArray("/") : out;
}

}  // namespace

// A run keeps the files and choices it started with, and nothing may change
// them while it goes on: the drag is refused, so the file manager shows that
// the window does not take it. Whether the event carries files at all.
bool MainWindow::AnswerDrag(QDropEvent* e) const {
    if (!CarriesLocalFiles(e->mimeData())) return false;
    if (Running()) {
        e->ignore();
    } else {
        e->acceptProposedAction();
    }
    return true;
}

void MainWindow::dragEnterEvent(QDragEnterEvent* e) {
    AnswerDrag(e);
}

void MainWindow::dragMoveEvent(QDragMoveEvent* e) {
    AnswerDrag(e);
}

void MainWindow::dropEvent(QDropEvent* e) {
    if (AnswerDrag(e) && e->isAccepted()) TakeDrop(e->mimeData());
}

bool MainWindow::eventFilter(QObject* watched, QEvent* e) {
    switch (e->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop: {
            auto* drag = static_cast<QDropEvent*>(e);
            if (!AnswerDrag(drag)) break;
            if (e->type() == QEvent::Drop && drag->isAccepted()) TakeDrop(drag->mimeData());
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
    std::vector<QByteArray> paths;
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile()) paths.push_back(LocalPathBytes(url));
    }
    OpenFiles(paths);
}

void MainWindow::OpenFiles(const std::vector<QByteArray>& paths) {
    std::vector<QByteArray> listed;
    for (const QByteArray& path : paths) {
        if (!path.isEmpty()) listed.push_back(DropForm(path));
    }
    if (listed.empty()) return;
    QMetaObject::invokeMethod(
        this, [this, listed] { Guarded([&] { TakeOpened(listed); }); }, Qt::QueuedConnection);
}

}  // namespace quellor::ui
