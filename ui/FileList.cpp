#include "ui/FileList.h"

#include <sys/stat.h>

#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>

#include "records/Compare.h"
#include "run/PreviewRows.h"
#include "ui/Cp932Text.h"
#include "ui/ErrorDisplay.h"
#include "ui/UiTexts.h"
#include "ui/Widgets.h"
#include "ui/WindowLayout.h"

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

FileList::FileList(const FileListControls& controls, Scale scale, std::function<void()> listChanged,
                   std::function<bool()> running)
    : c_(controls),
      scale_(scale),
      listChanged_(std::move(listChanged)),
      running_(std::move(running)) {
    StringGrid* grid = c_.preview;
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->horizontalHeader()->setMinimumSectionSize(1);
    grid->verticalHeader()->setMinimumSectionSize(1);
    grid->horizontalHeader()->setDefaultSectionSize(scale(64));
    grid->verticalHeader()->setDefaultSectionSize(scale(14));
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setWordWrap(false);
    grid->setTextElideMode(Qt::ElideNone);
    // The grid is one stop of the window's tab order, not a field to tab through.
    grid->setTabKeyNavigation(false);

    auto on = [this](auto* sender, auto signal, void (FileList::*handler)()) {
        connect(sender, signal, this, [this, handler] { Guarded([&] { (this->*handler)(); }); });
    };
    on(c_.list, &ListBox::userSelectionChanged, &FileList::SelectionChanged);
    on(c_.list, &ListBox::userDoubleClicked, &FileList::PreviewClicked);
    on(c_.removeButton, &QPushButton::clicked, &FileList::RemoveClicked);
}

void FileList::Reset() {
    c_.list->clear();
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

void FileList::PreviewFile(const std::string& path) {
    StringGrid* grid = c_.preview;
    PreviewRows rows(path, PreviewLineLimit, U(kRowLabel).arg(QString()).toStdString());
    int r = 0;
    while (std::optional<PreviewRow> row = rows.Next()) {
        ++r;
        grid->setRowCount(r + 1);
        grid->setColumnWidth(0, scale_(50));
        grid->setColumnCount(row->FieldCount + 1);
        for (int k = 1; k <= row->FieldCount; ++k) SetCell(0, k, U(kFieldChoice).arg(k));
        for (int col = 0; col < grid->columnCount(); ++col) SetCell(r, col, QString());
        const int shown = qMin(static_cast<int>(row->Cells.size()), grid->columnCount());
        for (int col = 0; col < shown; ++col) {
            const std::string& piece = row->Cells[static_cast<std::size_t>(col)];
            SetCell(r, col,
                    piece.empty() ? QStringLiteral(" ") : ShowText(piece, rows.TextEncoding()));
        }
    }
}

void FileList::UpdateTotalLabel() {
    FitLabel(c_.totalLabel, U(kTotalFiles).arg(c_.list->count()));
}

void FileList::ClearPreview() {
    c_.preview->clearContents();
    c_.preview->setRowCount(2);
    c_.preview->setColumnCount(2);
    for (auto [row, column] : {std::pair{0, 0}, {0, 1}, {1, 0}}) SetCell(row, column, {});
}

void FileList::SetCell(int row, int column, const QString& text) {
    QTableWidgetItem* item = c_.preview->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        if (row == 0 || column == 0) {
            item->setFlags(Qt::ItemIsEnabled);
            item->setBackground(c_.preview->window()->palette().button());
        } else {
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        }
        c_.preview->setItem(row, column, item);
    }
    item->setText(text);
}

}  // namespace quellor::ui
