// The file list: drops from the file manager, removal, and the preview.
#include <sys/stat.h>

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QPushButton>
#include <QTableWidget>
#include <QUrl>
#include <exception>

#include "records/Compare.h"
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
    Guarded([&] { HandleFileDrop(e->mimeData()); });
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
            Guarded([&] { HandleFileDrop(drop->mimeData()); });
            return true;
        }
        default:
            break;
    }
    return QWidget::eventFilter(watched, e);
}

void TfrmMain::HandleFileDrop(const QMimeData* data) {
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) continue;
        // Paths are kept whole, exactly as the drop delivers them.
        QByteArray path = LocalPathBytes(url);
        if (IsFolder(path)) continue;
        bool listed = false;
        for (int i = 0; i < ListBox1->count() && !listed; ++i) {
            listed = SameBytes(FilePath(i), path.toStdString());
        }
        if (!listed) AddFileEntry(path);
    }
    UpdateTotalLabel();
    FitScrollWidth(ListBox1);
    if (ListBox1->count() > 0) BitBtn5->setEnabled(true);
    BuildFieldChoices();
}

void TfrmMain::AddFileEntry(const QByteArray& path) {
    auto* item = new QListWidgetItem(ShowPath(path));
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
    // The lines read decide the encoding; rows read before a failure still show.
    LeadingLines text;
    std::exception_ptr failure;
    try {
        ReadLeadingLines(path, PreviewLineLimit, text);
    } catch (...) {
        failure = std::current_exception();
    }
    const Encoding encoding = text.TextEncoding;
    TStringList fields;
    fields.QuoteChar = 0;
    fields.TextEncoding = encoding;
    TStringList row;
    row.QuoteChar = 0;
    row.TextEncoding = encoding;
    TStringList cells;  // never given a quote byte: the double quote
    cells.TextEncoding = encoding;
    for (int r = 1; r <= static_cast<int>(text.Lines.size()); ++r) {
        const std::string& line = text.Lines[static_cast<std::size_t>(r - 1)];
        SplitFields(fields, line);
        const int f = fields.Count();
        row.Clear();
        row.Add(EncodeText(U(kRowLabel).arg(r), encoding));
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
            SetPreviewCell(r, c, piece.empty() ? QStringLiteral(" ") : ShowText(piece, encoding));
        }
    }
    if (failure) std::rethrow_exception(failure);
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
