// Message boxes, file dialogs and long-operation progress shared by the frame and its dialogs.
#pragma once

#include "data/datafile.h"

#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

class QDialog;
class QDialogButtonBox;
class QProgressDialog;
class QWidget;

namespace tavolin {

// The "确定" (and, when asked for, "取消") buttons of a dialog, named IDOK and IDCANCEL and wired
// to accept and reject.
QDialogButtonBox* okCancelButtons(QDialog* dialog, bool withCancel = true);

// The program's message boxes: title "Tavolin", Chinese button texts.
void showMessage(QWidget* parent, const QString& text);
// "数据已经修改，是否保存" and the like: Yes / No / Cancel.
QMessageBox::StandardButton askYesNoCancel(QWidget* parent, const QString& text);

// A file dialog request. `filter` uses Qt's ";;" separated form.
struct FileRequest {
    enum Kind { Open, OpenMany, Save };
    Kind kind = Open;
    QString caption;
    QString filter;
    QString proposed;       // initial file name or folder
    QString defaultSuffix;  // Save only; empty = none
    QString selectedFilter; // the entry of `filter` chosen at first; empty = the first
};

// Runs the desktop's file dialog; returns the chosen paths (empty = cancelled). Tests install
// a hook in place of the dialog so that every command path runs without a person at the screen.
using FileDialogHook = std::function<QStringList(const FileRequest&)>;
void setFileDialogHook(FileDialogHook hook);
QStringList runFileDialog(QWidget* parent, const FileRequest& request);
QString askOpenFile(QWidget* parent, const QString& filter);
QStringList askOpenFiles(QWidget* parent, const QString& filter);
QString askSaveFile(QWidget* parent, const QString& filter, const QString& proposed,
                    const QString& defaultSuffix = {}, const QString& selectedFilter = {});

// The filters of the program's file dialogs.
inline const QString filterOpenData =
    QStringLiteral("声波原始文件 (*.SHT);;声波结果文件 (*.SHA);;All Files (*.*)");
inline const QString filterNameRaw = QStringLiteral("声波原始文件 (*.SHT)");
inline const QString filterNameResult = QStringLiteral("声波结果文件 (*.SHA)");
// "另存为" and the close prompt: both job types, so a result job is not flattened into a raw one.
inline const QString filterSaveAs = filterOpenData;
inline const QString filterResult = QStringLiteral("声波结果文件 (*.SHA)");
inline const QString filterMergeInput =
    QStringLiteral("声波原始文件 (*.SHT);;声波结果文件 (*.SHA)");

// Shows a modal progress dialog while a long read or merge runs and keeps the windows painted.
// Hands out a ProgressSink for ReadOptions; the dialog appears only if the work takes a while.
class ProgressScope {
public:
    ProgressScope(QWidget* parent, const QString& label);
    ~ProgressScope();
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

    ProgressSink sink();
    ReadOptions options() {
        ReadOptions o;
        o.progress = sink();
        return o;
    }

private:
    void report(int64_t done, int64_t total);

    QPointer<QWidget> parent_;
    QString label_;
    QProgressDialog* dialog_ = nullptr;
    QElapsedTimer started_;
    QElapsedTimer lastEvents_;
};

} // namespace tavolin
