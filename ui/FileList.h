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
#include "ui/Controls.h"

class QByteArray;

namespace quellor::ui {

class FileList : public QObject {
  public:
    // listChanged runs after files were added or removed ("削除"): the
    // window rebuilds its field choices from the new first file.
    // running tells whether a run goes on: "全て削除" then stays disabled.
    FileList(const FileListControls& controls, Scale scale, std::function<void()> listChanged,
             std::function<bool()> running);

    // Empties the list and the preview; both buttons disabled.
    void Reset();
    // Adds dropped paths, exactly as dropped: folders and paths already
    // listed (byte for byte) are skipped.
    void AddDropped(const std::vector<QByteArray>& paths);
    std::vector<std::string> Files() const;
    bool Empty() const;

  private:
    void SelectionChanged();
    void RemoveClicked();
    void PreviewClicked();

    void UpdateTotalLabel();
    void ClearPreview();
    void PreviewFile(const std::string& path);
    void ShowRows(const std::vector<PreviewRow>& rows, Encoding encoding);
    std::string PathAt(int row) const;

    FileListControls c_;
    Scale scale_;
    std::function<void()> listChanged_;
    std::function<bool()> running_;
};

}  // namespace quellor::ui
