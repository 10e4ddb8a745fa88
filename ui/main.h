// The main window: every control, its handlers, and the run's observer.
#pragma once

#include <QElapsedTimer>
#include <QWidget>
#include <string>

#include "run/AbortSwitch.h"
#include "run/RunObserver.h"
#include "run/RunSettings.h"
#include "ui/LockedLook.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMimeData;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTableWidget;
class QGroupBox;

namespace quellor::ui {

class ListBox;
class RadioGroup;

class TfrmMain : public QWidget, public RunObserver {
    Q_OBJECT
  public:
    explicit TfrmMain(QWidget* parent = nullptr);
    ~TfrmMain() override;

    // Layout pixels at 96 dpi to pixels on this screen.
    int Scaled(int designPixels) const;
    bool Running() const { return running_; }

    // Window operations shared by the handlers.
    void AllClear();
    void ResetChoices();
    void UpdateFieldTab();
    void UpdateRecordTab();
    void UpdateSortTab();
    void UpdateTotalLabel();
    void ClearPreview();
    void FitScrollWidth(ListBox* list);
    RunSettings BuildRunSettings() const;

    // File list and preview.
    void HandleFileDrop(const QList<QByteArray>& paths);
    void AddFileEntry(const QByteArray& path);
    std::string FilePath(int row) const;
    void ListBox1Click();
    void BitBtn1Click();
    void ListBox1DblClick();
    QString Cell(int row, int column) const;

    // Field choosers.
    void BuildFieldChoices();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void ListBox3Click();

    // Commands.
    void BitBtn3Click();
    void BitBtn4Click();
    void BitBtn6Click();

    // RunObserver
    void SetFileCounter(const std::string& text) override;
    void SetRecordCounter(const std::string& text) override;
    void SetLog(const std::string& text) override;
    void AppendLog(const std::string& text) override;
    void SetFileProgress(int percent) override;
    void SetRecordProgress(int percent) override;
    int GetRecordProgress() override;
    void ProcessPendingEvents() override;
    void LockControls() override;
    void UnlockControls() override;
    void ShowWarning(const std::string& text) override;
    void ShowInformation(const std::string& text) override;
    void SelectPage(int page) override;

    // Controls, by the names the user's form gave them.
    QFrame* Bevel1;
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8;
    QTableWidget* StringGrid1;
    QPushButton *BitBtn1, *BitBtn2, *BitBtn3, *BitBtn4, *BitBtn5, *BitBtn6;
    ListBox *ListBox1, *ListBox2, *ListBox3;
    QTabWidget* PageControl1;
    QWidget *TabSheet1, *TabSheet2, *TabSheet3;
    RadioGroup *RadioGroup1, *RadioGroup2, *RadioGroup3, *RadioGroup4;
    QGroupBox *GroupBox1, *GroupBox2, *GroupBox3;
    QLabel *Label9, *Label10, *Label11, *Label12, *Label14, *Label15;
    QPushButton *Button1, *Button2, *Button3, *Button4, *Button5, *Button6;
    QComboBox *ComboBox1, *ComboBox2, *ComboBox3, *ComboBox4, *ComboBox5, *ComboBox6;
    QLineEdit *Edit1, *Edit2;
    QCheckBox *CheckBox1, *CheckBox2;
    QProgressBar *ProgressBar1, *ProgressBar2;

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    void CreateControls();
    void CreateWindowControls();
    void CreateFieldPage();
    void CreateRecordPage();
    void CreateSortPage();
    void SetTabOrder();
    void ConnectHandlers();
    void FormCreate();
    void AssignHints();
    void SetLabelText(QLabel* label, const QString& text);
    void SetPreviewCell(int row, int column, const QString& text);
    void PreviewFile(const std::string& path);
    void TakeDrop(const QMimeData* data);
    void MoveSelected(ListBox* from, ListBox* to);
    int CurrentEntry() const;
    void RewriteEntry(int row, const QString& text);
    void MarkEntry(int row);
    bool PressIfUsable(QPushButton* button);

    double scale_ = 1.0;
    bool running_ = false;
    AbortSwitch abort_;
    bool eventsProcessedSinceLock_ = false;
    int callsSinceEvents_ = 0;
    QElapsedTimer eventClock_;
    QString log_;
    LockedLook lockedLook_;
};

}  // namespace quellor::ui
