// Saved jobs in the window: the two buttons and their keys, a dropped job,
// and setting every page from a job's choices.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileDialog>
#include <QPushButton>
#include <QStringList>
#include <algorithm>

#include "run/JobFile.h"
#include "ui/ErrorDisplay.h"
#include "ui/FieldPage.h"
#include "ui/FileList.h"
#include "ui/MainWindow.h"
#include "ui/MessageBoxes.h"
#include "ui/RecordPage.h"
#include "ui/RunSession.h"
#include "ui/SortPage.h"
#include "ui/UiTexts.h"

namespace quellor::ui {

namespace {

QString U(const char* text) {
    return QString::fromUtf8(text);
}

// Paths stay the bytes the file system knows, as the file list keeps them.
std::string Native(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// Only a regular file can be a job: a dropped pipe or device is listed as
// before, and opening one must not wait for a writer that never comes.
bool IsJob(const QByteArray& path) {
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    char head[16] = {};
    ssize_t got = 0;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) got = ::read(fd, head, sizeof head);
    ::close(fd);
    return got > 0 && StartsAsJob(std::string_view(head, static_cast<std::size_t>(got)));
}

QString AskForJob(QWidget* parent, bool saving) {
    QFileDialog dialog(parent, U(saving ? kSaveJobTitle : kLoadJobTitle));
    dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.setNameFilter(U(kJobFilter));
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.selectedFiles().value(0);
}

}  // namespace

// The keys work wherever the focus is, but never during a run, as the
// buttons (locked with the rest) do not.
void MainWindow::SaveJobClicked() {
    if (Running()) return;
    const QString path = (jobDialog_ ? jobDialog_ : AskForJob)(this, true);
    if (!path.isEmpty()) SaveJobTo(path);
}

void MainWindow::LoadJobClicked() {
    if (Running()) return;
    const QString path = (jobDialog_ ? jobDialog_ : AskForJob)(this, false);
    if (!path.isEmpty()) LoadJobFrom(path);
}

void MainWindow::SaveJobTo(const QString& path) {
    WriteJobFile(Native(path), BuildRunChoices());
}

void MainWindow::LoadJobFrom(const QString& path) {
    if (Running()) return;
    // Read whole before anything is set: a bad job leaves the controls as they were.
    const RunChoices choices = ReadJobFile(Native(path));
    ApplyChoices(choices);
    if (files_->Empty()) pendingJob_ = choices;
}

void MainWindow::ApplyChoices(const RunChoices& c) {
    const bool rereads = files_->Choice().Text != c.Files.Text;
    files_->TakeChoice(c.Files);
    // The fields offered are those of the first file read the job's way.
    if (rereads && !files_->Empty()) BuildFieldChoices();
    std::vector<int> missing = c_.fieldPage->TakeChoice(c.Fields);
    for (int n : c_.recordPage->TakeChoice(c.Records)) missing.push_back(n);
    if (!c_.sortPage->TakeChoice(c.Sort)) missing.push_back(c.Sort.KeyField);
    // Without a file there are no fields yet: the first one listed decides.
    if (files_->Empty()) return;
    const int count = c_.fieldPage->Choice().ExpectedFieldCount;
    std::erase_if(missing, [count](int n) { return n <= count; });
    if (missing.empty()) return;
    std::sort(missing.begin(), missing.end());
    missing.erase(std::unique(missing.begin(), missing.end()), missing.end());
    QStringList numbers;
    for (int n : missing) numbers << QString::number(n);
    MessageBoxes::ShowInformation(
        U(kJobFieldsBeyond).arg(numbers.join(QStringLiteral(", "))).arg(count));
}

void MainWindow::TakeOpened(const std::vector<QByteArray>& paths) {
    // Taken just before a run began, and delivered while it lets events
    // through: refused as a drop during the run is.
    if (Running()) return;
    std::vector<QByteArray> listed, jobs;
    for (const QByteArray& path : paths) (IsJob(path) ? jobs : listed).push_back(path);
    if (!listed.empty()) files_->AddDropped(listed);
    // After the files: a job dropped with them chooses among their fields.
    for (const QByteArray& job : jobs) LoadJobFrom(QFile::decodeName(job));
}

}  // namespace quellor::ui
