// The file list (ListBox1) with its two buttons, its total and the preview
// grid of a listed file.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "records/Encoding.h"
#include "run/PreviewRows.h"
#include "run/RunChoices.h"
#include "ui/Scale.h"

class QByteArray;
class QCheckBox;
class QLabel;
class QPushButton;
class QWidget;

namespace quellor::ui {

class ListBox;
class StringGrid;

class FileList : public QObject {
  public:
    // Makes the list's controls on window. listChanged runs after files
    // were added or removed ("削除"): the window rebuilds its field choices
    // from the new first file. removeAll runs on "全て削除", which resets
    // the whole window. running tells whether a run goes on: "全て削除"
    // then stays disabled.
    FileList(QWidget* window, Scale scale, std::function<void()> listChanged,
             std::function<void()> removeAll, std::function<bool()> running);

    // Empties the list and the preview, and forgets a job's reading; both
    // buttons disabled. The heading switch keeps its state, as the pages'
    // check boxes keep theirs.
    void Reset();
    // Adds dropped paths, exactly as dropped: folders and paths already
    // listed (byte for byte) are skipped.
    void AddDropped(const std::vector<QByteArray>& paths);
    std::vector<std::string> Files() const;
    // The reading is a loaded job's, else as the files' bytes say.
    FileChoice Choice() const;
    // A saved job's heading switch and reading; the listed files stay as
    // they are (a job names none).
    void TakeChoice(const FileChoice& choice);
    bool Empty() const;

  private:
    void SelectionChanged();
    void RemoveClicked();
    void PreviewClicked();
    void RemoveAllClicked();

    void UpdateTotalLabel();
    void ClearPreview();
    void PreviewFile(const std::string& path);
    void ShowRows(const std::vector<PreviewRow>& rows, Encoding encoding);
    // Labels the shown line 1 as the heading switch says.
    void MarkHeadingRow();
    std::string PathAt(int row) const;

    TextChoice text_;
    struct Controls {
        ListBox* list = nullptr;
        QPushButton* removeButton = nullptr;
        QPushButton* removeAllButton = nullptr;
        QLabel* totalLabel = nullptr;
        StringGrid* preview = nullptr;
        QLabel* previewNote = nullptr;  // names the encoding of the shown lines
        QCheckBox* headingLine = nullptr;
    };
    bool previewShown_ = false;
    Controls c_;
    Scale scale_;
    std::function<void()> listChanged_;
    std::function<void()> removeAll_;
    std::function<bool()> running_;
};

}  // namespace quellor::ui
