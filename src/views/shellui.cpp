// Message boxes, file dialogs and progress display of the program.
#include "views/shellui.h"

#include <algorithm>

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QProgressDialog>
#include <QPushButton>

namespace tavolin {

QDialogButtonBox* okCancelButtons(QDialog* dialog, bool withCancel) {
    auto* buttons = new QDialogButtonBox(dialog);
    QPushButton* ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("IDOK"));
    ok->setDefault(true);
    if (withCancel) {
        QPushButton* cancel =
            buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
        cancel->setObjectName(QStringLiteral("IDCANCEL"));
    }
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

namespace {

FileDialogHook& hookSlot() {
    static FileDialogHook hook;
    return hook;
}

void setChineseButtonTexts(QMessageBox& box) {
    static const std::pair<QMessageBox::StandardButton, const char*> texts[] = {
        {QMessageBox::Ok, "确定"},
        {QMessageBox::Yes, "是(&Y)"},
        {QMessageBox::No, "否(&N)"},
        {QMessageBox::Cancel, "取消"},
    };
    for (const auto& [which, text] : texts)
        if (QAbstractButton* b = box.button(which))
            b->setText(QString::fromUtf8(text));
}

} // namespace

void showMessage(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Tavolin"), text, QMessageBox::Ok, parent);
    setChineseButtonTexts(box);
    box.exec();
}

QMessageBox::StandardButton askYesNoCancel(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Tavolin"), text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    setChineseButtonTexts(box);
    box.exec();
    auto* clicked = box.clickedButton();
    if (!clicked)
        return QMessageBox::Cancel;
    return box.standardButton(clicked);
}

void setFileDialogHook(FileDialogHook hook) {
    hookSlot() = std::move(hook);
}

QStringList runFileDialog(QWidget* parent, const FileRequest& request) {
    if (hookSlot())
        return hookSlot()(request);
    QFileDialog dialog(parent, request.caption);
    dialog.setNameFilter(request.filter);
    if (!request.selectedFilter.isEmpty())
        dialog.selectNameFilter(request.selectedFilter);
    dialog.setOption(QFileDialog::DontUseNativeDialog, false);
    switch (request.kind) {
    case FileRequest::Open:
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        break;
    case FileRequest::OpenMany:
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFiles);
        break;
    case FileRequest::Save:
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(request.defaultSuffix);
        break;
    }
    if (!request.proposed.isEmpty())
        dialog.selectFile(request.proposed);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

QString askOpenFile(QWidget* parent, const QString& filter) {
    FileRequest r;
    r.kind = FileRequest::Open;
    r.caption = QStringLiteral("打开");
    r.filter = filter;
    const QStringList files = runFileDialog(parent, r);
    return files.isEmpty() ? QString() : files.front();
}

QStringList askOpenFiles(QWidget* parent, const QString& filter) {
    FileRequest r;
    r.kind = FileRequest::OpenMany;
    r.caption = QStringLiteral("打开");
    r.filter = filter;
    return runFileDialog(parent, r);
}

QString askSaveFile(QWidget* parent, const QString& filter, const QString& proposed,
                    const QString& defaultSuffix, const QString& selectedFilter) {
    FileRequest r;
    r.kind = FileRequest::Save;
    r.caption = QStringLiteral("另存为");
    r.filter = filter;
    r.proposed = proposed;
    r.defaultSuffix = defaultSuffix;
    r.selectedFilter = selectedFilter;
    const QStringList files = runFileDialog(parent, r);
    return files.isEmpty() ? QString() : files.front();
}

// --- progress ---

ProgressScope::ProgressScope(QWidget* parent, const QString& label)
    : parent_(parent), label_(label) {
    started_.start();
    lastEvents_.start();
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

ProgressScope::~ProgressScope() {
    delete dialog_;
    QGuiApplication::restoreOverrideCursor();
}

ProgressSink ProgressScope::sink() {
    return [this](int64_t done, int64_t total) { report(done, total); };
}

void ProgressScope::report(int64_t done, int64_t total) {
    // Keep the windows painted, but take no user input while the job is half read.
    if (lastEvents_.elapsed() < 40)
        return;
    lastEvents_.restart();
    if (!dialog_ && started_.elapsed() >= 300) {
        dialog_ = new QProgressDialog(label_, QString(), 0, 1000, parent_);
        dialog_->setWindowTitle(QStringLiteral("Tavolin"));
        dialog_->setWindowModality(Qt::ApplicationModal);
        dialog_->setCancelButton(nullptr);
        dialog_->setMinimumDuration(0);
        dialog_->setAutoClose(false);
        dialog_->setAutoReset(false);
        dialog_->show();
    }
    if (dialog_) {
        const int value =
            total > 0 ? static_cast<int>(std::clamp<int64_t>(done, 0, total) * 1000 / total) : 0;
        dialog_->setValue(value);
    }
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace tavolin
