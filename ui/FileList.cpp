#include "ui/FileList.h"

#include <sys/stat.h>

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <exception>
#include <optional>

#include "records/Compare.h"
#include "run/PreviewRows.h"
#include "run/RunMessages.h"
#include "ui/ControlRows.h"
#include "ui/Cp932Text.h"
#include "ui/ErrorDisplay.h"
#include "ui/ListBox.h"
#include "ui/MessageBoxes.h"
#include "ui/StringGrid.h"
#include "ui/UiTexts.h"

namespace quellor::ui {

namespace {

// Each entry keeps the bytes of its path; its text is only for the user.
constexpr int kPathRole = Qt::UserRole;

bool IsFolder(const QByteArray& path) {
    struct stat st {};
    return ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

QString U(const char* text) {
    return QString::fromUtf8(text);
}

}  // namespace

FileList::FileList(QWidget* window, Scale scale, std::function<void()> listChanged,
                   std::function<void()> removeAll, std::function<bool()> running)
    : scale_(scale),
      listChanged_(std::move(listChanged)),
      removeAll_(std::move(removeAll)),
      running_(std::move(running)) {
    BuildControls(
        window,
        {
            {"Label4", &c_.previewNote, "frmMain", 208, 8, 4, 12, "", Fit::ToTextOnShow},
            {"Label8", &c_.totalLabel, "frmMain", 8, 24, 58, 12, "合計0ﾌｧｲﾙ", Fit::ToTextOnShow},
            {"StringGrid1", &c_.preview, "frmMain", 208, 24, 353, 153, ""},
            {"BitBtn1", &c_.removeButton, "frmMain", 8, 160, 89, 17, "削除"},
            {"ListBox1", &c_.list, "frmMain", 8, 40, 193, 113, ""},
            {"BitBtn5", &c_.removeAllButton, "frmMain", 112, 160, 89, 17, "全て削除"},
            // On the total's line: it tells how every listed file is read.
            {"HeadingLineCheck", &c_.headingLine, "frmMain", 105, 21, 96, 17, "1行目は見出し"},
        },
        scale);
    c_.preview->SetMetrics(scale(14), scale(64));
    c_.preview->SetColWidth(0, scale(50));
    ConnectGuarded(c_.list, &ListBox::userSelectionChanged, this, &FileList::SelectionChanged);
    ConnectGuarded(c_.list, &ListBox::userDoubleClicked, this, &FileList::PreviewClicked);
    ConnectGuarded(c_.removeButton, &QPushButton::clicked, this, &FileList::RemoveClicked);
    ConnectGuarded(c_.removeAllButton, &QPushButton::clicked, this, &FileList::RemoveAllClicked);
    ConnectGuarded(c_.headingLine, &QCheckBox::toggled, this, &FileList::MarkHeadingRow);
}

void FileList::Reset() {
    c_.list->clear();
    text_ = {};
    ClearPreview();
    c_.removeButton->setEnabled(false);
    c_.removeAllButton->setEnabled(false);
    UpdateTotalLabel();
}

void FileList::AddDropped(const std::vector<QByteArray>& paths) {
    for (const QByteArray& path : paths) {
        if (IsFolder(path)) continue;
        bool listed = false;
        for (int i = 0; i < c_.list->count() && !listed; ++i) {
            listed = SameBytes(PathAt(i), path.toStdString());
        }
        if (listed) continue;
        auto* item = new QListWidgetItem(ShowPath(path));
        item->setData(kPathRole, path);
        c_.list->addItem(item);
    }
    UpdateTotalLabel();
    FitScrollWidth(c_.list, scale_);
    // A reset under a running run would pull its labels and bars away.
    if (c_.list->count() > 0 && !running_()) c_.removeAllButton->setEnabled(true);
    listChanged_();
}

std::vector<std::string> FileList::Files() const {
    std::vector<std::string> files;
    for (int i = 0; i < c_.list->count(); ++i) files.push_back(PathAt(i));
    return files;
}

FileChoice FileList::Choice() const {
    return {Files(), c_.headingLine->isChecked(), text_};
}

void FileList::TakeChoice(const FileChoice& choice) {
    c_.headingLine->setChecked(choice.HeadingLine);
    text_ = choice.Text;
}

bool FileList::Empty() const {
    return c_.list->count() == 0;
}

std::string FileList::PathAt(int row) const {
    return c_.list->item(row)->data(kPathRole).toByteArray().toStdString();
}

void FileList::SelectionChanged() {
    if (!c_.list->selectedItems().isEmpty()) c_.removeButton->setEnabled(true);
}

void FileList::RemoveClicked() {
    for (int i = 0; i < c_.list->count();) {
        if (c_.list->item(i)->isSelected()) {
            delete c_.list->takeItem(i);
        } else {
            ++i;
        }
    }
    c_.removeButton->setEnabled(false);
    if (c_.list->count() == 0) c_.removeAllButton->setEnabled(false);
    UpdateTotalLabel();
    FitScrollWidth(c_.list, scale_);
    ClearPreview();
    listChanged_();
}

void FileList::PreviewClicked() {
    for (int i = 0; i < c_.list->count(); ++i) {
        if (!c_.list->item(i)->isSelected()) continue;
        ClearPreview();
        PreviewFile(PathAt(i));
        return;
    }
}

void FileList::RemoveAllClicked() {
    removeAll_();
}

void FileList::PreviewFile(const std::string& path) {
    PreviewRows reader(path, PreviewLineLimit, U(kRowLabel).arg(QString()).toStdString(), text_);
    std::vector<PreviewRow> rows;
    std::exception_ptr failure;
    try {
        while (std::optional<PreviewRow> row = reader.Next()) rows.push_back(std::move(*row));
    } catch (...) {
        failure = std::current_exception();  // the rows read before it are shown first
    }
    if (!rows.empty()) {
        ShowRows(rows, reader.TextEncoding());
        FitLabel(c_.previewNote, U(kPreviewNoteShown)
                                     .arg(PreviewLineLimit)
                                     .arg(U(runmsg::EncodingName(reader.TextEncoding()))));
    }
    // A line shown in part is a notice: the rows stand, nothing stopped.
    if (!reader.Notice().empty()) MessageBoxes::ShowInformation(U(reader.Notice().c_str()));
    if (failure) std::rethrow_exception(failure);
}

// The grid is filled once all rows are read: the last line alone decides
// the column count, and a shorter line before it must not take away the
// cells of the rows above it.
void FileList::ShowRows(const std::vector<PreviewRow>& rows, Encoding encoding) {
    StringGrid* grid = c_.preview;
    const int columns = rows.back().FieldCount + 1;
    grid->SetSize(static_cast<int>(rows.size()) + 1, columns);
    grid->SetColWidth(0, scale_(50));
    for (int k = 1; k < columns; ++k) grid->SetCell(0, k, U(kFieldChoice).arg(k));
    for (int r = 1; r <= static_cast<int>(rows.size()); ++r) {
        const std::vector<std::string>& cells = rows[static_cast<std::size_t>(r - 1)].Cells;
        const int shown = qMin(static_cast<int>(cells.size()), columns);
        for (int col = 0; col < shown; ++col) {
            const std::string& piece = cells[static_cast<std::size_t>(col)];
            grid->SetCell(r, col, piece.empty() ? QStringLiteral(" ") : ShowValue(piece, encoding));
        }
    }
    previewShown_ = true;
    MarkHeadingRow();
}

void FileList::MarkHeadingRow() {
    if (!previewShown_) return;
    c_.preview->SetCell(1, 0,
                        c_.headingLine->isChecked() ? U(kHeadingRowLabel) : U(kRowLabel).arg(1));
}

void FileList::UpdateTotalLabel() {
    FitLabel(c_.totalLabel, U(kTotalFiles).arg(c_.list->count()));
}

void FileList::ClearPreview() {
    previewShown_ = false;
    c_.preview->SetSize(2, 2);
    FitLabel(c_.previewNote, U(kPreviewNote).arg(PreviewLineLimit));
}

}  // namespace quellor::ui
