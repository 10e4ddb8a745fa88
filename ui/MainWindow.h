// The program's one window (frmMain): its layout, the three pages, the file
// list and the run session, with Start, the keys and closing.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "run/RunChoices.h"
#include "run/RunSettings.h"
#include "ui/Scale.h"

class QFrame;
class QByteArray;
class QDropEvent;
class QLabel;
class QMimeData;
class QPushButton;
class QTabWidget;

namespace quellor::ui {

class FieldPage;
class FileList;
class InterruptWatch;
class RecordPage;
class RunSession;
class SortPage;

class MainWindow : public QWidget {
  public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Layout pixels at 96 dpi to pixels on this screen.
    int Scaled(int designPixels) const { return scale_(designPixels); }
    bool Running() const;
    // The choices of every page as the run takes them when Start is pressed.
    RunSettings BuildRunSettings() const;
    // The same choices before they become settings: what a saved job holds.
    RunChoices BuildRunChoices() const;
    // What "ｼﾞｮﾌﾞ保存..." (Ctrl+S) and "ｼﾞｮﾌﾞ読込..." (Ctrl+O) do with the
    // name their dialog gave. Loading sets the controls and runs nothing; a
    // bad job shows the error box and changes nothing.
    void SaveJobTo(const QString& path);
    void LoadJobFrom(const QString& path);
    // Asks for a job file's name, a new one when saving; empty when cancelled.
    // Tests answer in place of the file dialog.
    using JobDialog = std::function<QString(QWidget* parent, bool saving)>;
    void SetJobDialog(JobDialog dialog) { jobDialog_ = std::move(dialog); }
    // Lists files as a drop of them would, once the event loop runs: the
    // files named on the command line, and so by the menu's "open with".
    // Relative names are taken from the current folder. Nothing is taken
    // while a run goes on.
    void OpenFiles(const std::vector<QByteArray>& paths);
    // SIGINT and SIGTERM stop a run in progress as "中止" does, close the
    // boxes without waiting for the user and close the window. For the
    // program's one window only: the handlers are the process's.
    void EndOnInterrupts();

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    void SetUpWindow();
    void CreateControls();
    void SetTabOrder();
    void AssignHints();
    void FormCreate();

    void StartClicked();
    void CancelClicked();
    void AllClear();
    bool AnswerDrag(QDropEvent* e) const;
    void TakeDrop(const QMimeData* mime);
    void BuildFieldChoices();
    void SaveJobClicked();
    void LoadJobClicked();
    // Hands each room its part of a job's choices, and names the field
    // numbers the first file has no field for.
    void ApplyChoices(const RunChoices& choices);
    // The listed files and the jobs of a drop; a job loads, it is not listed.
    void TakeOpened(const std::vector<QByteArray>& paths);
    bool PressIfUsable(QPushButton* button);

    // The window's own controls; each room makes and keeps its own.
    struct Controls {
        QFrame* messageFrame = nullptr;
        QLabel* messageCaption = nullptr;
        QLabel* conditionCaption = nullptr;
        QLabel* dropCaption = nullptr;
        QPushButton* clearAllButton = nullptr;
        QPushButton* startButton = nullptr;
        QPushButton* cancelButton = nullptr;
        QPushButton* saveJobButton = nullptr;
        QPushButton* loadJobButton = nullptr;
        QTabWidget* pages = nullptr;
        FieldPage* fieldPage = nullptr;
        RecordPage* recordPage = nullptr;
        SortPage* sortPage = nullptr;
    };
    Scale scale_;
    Controls c_;
    std::unique_ptr<FileList> files_;
    std::unique_ptr<RunSession> session_;
    std::unique_ptr<InterruptWatch> interrupts_;
    // A job loaded before any file was listed: its field numbers are chosen
    // once the first file gives the fields.
    std::optional<RunChoices> pendingJob_;
    JobDialog jobDialog_;
};

}  // namespace quellor::ui
