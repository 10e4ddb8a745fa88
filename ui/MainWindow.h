// The program's one window (frmMain): its layout, the three pages, the file
// list and the run session, with Start, the keys and closing.
#pragma once

#include <QWidget>
#include <memory>

#include "run/RunSettings.h"
#include "ui/Controls.h"

class QMimeData;

namespace quellor::ui {

class FileList;
class RunSession;

class MainWindow : public QWidget {
  public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Layout pixels at 96 dpi to pixels on this screen.
    int Scaled(int designPixels) const { return scale_(designPixels); }
    bool Running() const;
    // The choices of every page as the run takes them when Start is pressed.
    RunSettings BuildRunSettings() const;

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
    void TakeDrop(const QMimeData* data);
    void BuildFieldChoices();
    bool PressIfUsable(QPushButton* button);

    Scale scale_;
    WindowControls c_;
    std::unique_ptr<FileList> files_;
    std::unique_ptr<RunSession> session_;
};

}  // namespace quellor::ui
