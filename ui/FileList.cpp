// The file list: drops from the file manager, removal, and the preview.
#include <sys/stat.h>

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QPushButton>
#include <QTableWidget>
#include <QUrl>

#include "records/Compare.h"
#include "records/Exceptions.h"
#include "records/FieldCodec.h"
#include "records/LineFiles.h"
#include "run/SampleLine.h"
#include "ui/Cp932Text.h"
#include "ui/ErrorDisplay.h"
#include "ui/UiTexts.h"
#include "ui/Widgets.h"
#include "ui/main.h"

namespace quellor::ui {

namespace {

constexpr int kPathRole = Qt::UserRole;

bool CarriesLocalFiles(const QMimeData* data) {
    if (!data || !data->hasUrls()) return false;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) return true;
    }
    return false;
}

bool IsFolder(const QByteArray& path) {
    struct stat st {};
    return ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

QString U(const char* text) {
    return QString::fromUtf8(text);
}

// The path of a local file URL as the bytes the file manager encoded. Going
// through QString would turn a name that is not UTF-8 (a code page 932 name
// copied from an old share) into another name.
QByteArray LocalPathBytes(const QUrl& url) {
    return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
}

}  // namespace

void TfrmMain::dragEnterEvent(QDragEnterEvent* e) {
    if (CarriesLocalFiles(e->mimeData())) e->acceptProposedAction();
}

void TfrmMain::dragMoveEvent(QDragMoveEvent* e) {
    if (CarriesLocalFiles(e->mimeData())) e->acceptProposedAction();
}

void TfrmMain::dropEvent(QDropEvent* e) {
    if (!CarriesLocalFiles(e->mimeData())) return;
    e->acceptProposedAction();
    TakeDrop(e->mimeData());
}

// The program the files come from waits until the drop is finished: the
// paths are taken now and added once the drop has returned, so a box that
// adding them opens keeps nobody else waiting.
void TfrmMain::TakeDrop(const QMimeData* data) {
    QList<QByteArray> paths;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) paths << LocalPathBytes(url);
    }
    QMetaObject::invokeMethod(
        this, [this, paths] { Guarded([&] { HandleFileDrop(paths); }); }, Qt::QueuedConnection);
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* e) {
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

void TfrmMain::HandleFileDrop(const QList<QByteArray>& paths) {
    // Paths are kept whole, exactly as the drop delivers them.
    for (const QByteArray& path : paths) {
        if (IsFolder(path)) continue;
        bool listed = false;
        for (int i = 0; i < ListBox1->count() && !listed; ++i) {
            listed = SameBytes(FilePath(i), path.toStdString());
        }
        if (!listed) AddFileEntry(path);
    }
    UpdateTotalLabel();
    FitScrollWidth(ListBox1);
    // A reset under a running run would pull its labels and bars away.
    if (ListBox1->count() > 0 && !running_) BitBtn5->setEnabled(true);
    BuildFieldChoices();
}

void TfrmMain::AddFileEntry(const QByteArray& path) {
    auto* item = new QListWidgetItem(QFile::decodeName(path));
    item->setData(kPathRole, path);
    ListBox1->addItem(item);
}

std::string TfrmMain::FilePath(int row) const {
    QListWidgetItem* item = ListBox1->item(row);
    QVariant bytes = item->data(kPathRole);
    QByteArray path = bytes.isValid() ? bytes.toByteArray() : QFile::encodeName(item->text());
    return path.toStdString();
}

void TfrmMain::ListBox1Click() {
    if (!ListBox1->selectedItems().isEmpty()) BitBtn1->setEnabled(true);
}

void TfrmMain::BitBtn1Click() {
    for (int i = 0; i < ListBox1->count();) {
        if (ListBox1->item(i)->isSelected()) {
            delete ListBox1->takeItem(i);
        } else {
            ++i;
        }
    }
    BitBtn1->setEnabled(false);
    if (ListBox1->count() == 0) BitBtn5->setEnabled(false);
    UpdateTotalLabel();
    FitScrollWidth(ListBox1);
    ClearPreview();
    BuildFieldChoices();
}

void TfrmMain::ListBox1DblClick() {
    int first = -1;
    for (int i = 0; i < ListBox1->count() && first < 0; ++i) {
        if (ListBox1->item(i)->isSelected()) first = i;
    }
    if (first < 0) return;
    ClearPreview();
    PreviewFile(FilePath(first));
}

void TfrmMain::PreviewFile(const std::string& path) {
    LineReader reader;
    reader.Open(path);
    TStringList fields;
    fields.QuoteChar = 0;
    TStringList row;
    row.QuoteChar = 0;
    TStringList cells;  // never given a quote byte: the double quote
    std::string notice;
    for (int r = 1; r <= PreviewLineLimit && notice.empty(); ++r) {
        if (reader.AtEnd()) break;
        bool lineCut = false;
        std::string line = reader.NextLine(kShownLineBytes, lineCut);
        const bool fieldsCut = SplitFields(fields, line, kShownFieldLimit);
        // The rest of a cut line is never read: the preview ends with it.
        notice = ShownLineNotice(path, r, lineCut, fieldsCut);
        const int f = fields.Count();
        row.Clear();
        row.Add(EncodeCp932(U(kRowLabel).arg(r)));
        for (int k = 0; k < f; ++k) row.Add(fields.Get(k));
        std::string rowText = JoinFields(row);

        StringGrid1->setRowCount(r + 1);
        StringGrid1->setColumnWidth(0, Scaled(50));
        StringGrid1->setColumnCount(f + 1);
        for (int k = 1; k <= f; ++k) SetPreviewCell(0, k, U(kFieldChoice).arg(k));
        for (int c = 0; c < StringGrid1->columnCount(); ++c) SetPreviewCell(r, c, QString());
        SplitFields(cells, rowText);
        for (int c = 0; c < cells.Count() && c < StringGrid1->columnCount(); ++c) {
            std::string_view piece = cells.Get(c);
            SetPreviewCell(r, c, piece.empty() ? QStringLiteral(" ") : ShowCp932(piece));
        }
    }
    reader.Close();
    if (!notice.empty()) throw Exception(notice);
}

void TfrmMain::SetPreviewCell(int row, int column, const QString& text) {
    QTableWidgetItem* item = StringGrid1->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        if (row == 0 || column == 0) {
            item->setFlags(Qt::ItemIsEnabled);
            item->setBackground(palette().button());
        } else {
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        }
        StringGrid1->setItem(row, column, item);
    }
    item->setText(text);
}

QString TfrmMain::Cell(int row, int column) const {
    QTableWidgetItem* item = StringGrid1->item(row, column);
    return item ? item->text() : QString();
}

}  // namespace quellor::ui
