// Helpers of the shell's GUI tests: answering modal boxes, scripted file dialogs, sample copies.
#pragma once

#include "app/mainframe.h"
#include "app/tavolinapp.h"
#include "views/shellui.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>

namespace tavolin::test {

// The program of a shell test: a throw-away settings folder and data folder, and one
// application started afresh for every test function. Derived test classes call these from
// their own initTestCase, init and cleanup slots.
class ShellTest : public QObject {
protected:
    QTemporaryDir config_;
    QTemporaryDir data_;
    std::unique_ptr<CTavolinApp> app_;

    CMainFrame& frame() { return app_->frame(); }
    CTavolinDoc& doc() { return app_->doc(); }

    bool prepareShell() {
        if (!config_.isValid() || !data_.isValid())
            return false;
        qputenv("TAVOLIN_CONFIG_DIR", config_.path().toLocal8Bit());
        // Recovery snapshots of the tests stay in their own folder too.
        qputenv("XDG_STATE_HOME", config_.path().toLocal8Bit());
        CTavolinApp::initApplication();
        return true;
    }
    bool startApp(const QStringList& files = {}) {
        app_ = std::make_unique<CTavolinApp>();
        app_->start(QStringList{QStringLiteral("tavolin")} + files);
        return QTest::qWaitForWindowExposed(&frame());
    }
    void stopApp() {
        doc().setModified(false);
        app_.reset();
    }
};

// Watches for modal message boxes, records their texts and answers each with the next button of
// `answers` (OK/Yes-style default when the queue is empty) by a real mouse click.
class ModalCatcher : public QObject {
public:
    ModalCatcher() {
        connect(&timer_, &QTimer::timeout, this, [this] { poll(); });
        timer_.start(20);
    }
    void answer(QMessageBox::StandardButton b) { answers_.push_back(b); }
    QStringList texts;
    QStringList titles;

private:
    void poll() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || box == handled_)
            return;
        handled_ = box;
        texts << box->text();
        titles << box->windowTitle();
        QMessageBox::StandardButton which = QMessageBox::NoButton;
        if (!answers_.empty()) {
            which = answers_.front();
            answers_.pop_front();
        }
        QAbstractButton* button = which != QMessageBox::NoButton ? box->button(which) : nullptr;
        if (!button)
            button = box->defaultButton();
        if (!button && !box->buttons().isEmpty())
            button = box->buttons().front();
        QTest::mouseClick(button, Qt::LeftButton);
    }
    QTimer timer_;
    QPointer<QMessageBox> handled_;
    std::deque<QMessageBox::StandardButton> answers_;
};

// Answers the program's file dialogs from a script and records what was asked.
class FileDialogScript {
public:
    FileDialogScript() {
        setFileDialogHook([this](const FileRequest& r) {
            requests.push_back(r);
            if (answers_.empty())
                return QStringList();
            QStringList a = answers_.front();
            answers_.pop_front();
            return a;
        });
    }
    ~FileDialogScript() { setFileDialogHook({}); }
    void answer(const QStringList& files) { answers_.push_back(files); }
    void answer(const QString& file) { answers_.push_back(QStringList{file}); }
    void cancel() { answers_.push_back({}); }
    std::vector<FileRequest> requests;

private:
    std::deque<QStringList> answers_;
};

// Copies a sample pair (text file and companion) into `dir`; returns the copied text file.
inline QString copySample(const QTemporaryDir& dir, const QString& name,
                          const QString& as = QString()) {
    const QString target = dir.filePath(as.isEmpty() ? name : as);
    const QString source = QStringLiteral(TAVOLIN_SAMPLES "/") + name;
    QFile::remove(target);
    if (!QFile::copy(source, target))
        return {};
    QString companion = source;
    companion.back() = QLatin1Char('D');
    QString companionTarget = target;
    companionTarget.back() = QLatin1Char('D');
    QFile::remove(companionTarget);
    if (!QFile::copy(companion, companionTarget))
        return {};
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    QFile::setPermissions(companionTarget, QFile::ReadOwner | QFile::WriteOwner);
    return target;
}

} // namespace tavolin::test

namespace tavolin::test {

// Calls `handle` once for each new modal window other than a message box (dialogs of the frame).
class DialogCatcher : public QObject {
public:
    explicit DialogCatcher(std::function<void(QWidget*)> handle) : handle_(std::move(handle)) {
        connect(&timer_, &QTimer::timeout, this, [this] {
            QWidget* w = QApplication::activeModalWidget();
            if (!w || w == seen_ || qobject_cast<QMessageBox*>(w))
                return;
            seen_ = w;
            ++count;
            handle_(w);
        });
        timer_.start(20);
    }
    int count = 0;

private:
    std::function<void(QWidget*)> handle_;
    QTimer timer_;
    QPointer<QWidget> seen_;
};

} // namespace tavolin::test

#include <QDockWidget>
#include <QMainWindow>
#include <QStyle>

namespace tavolin::test {

// Drags the inner edge of a docked bar by `dx` pixels with the mouse, as a user widens it
// (positive: the bar grows, whichever side it is docked on).
inline void dragBarEdge(QMainWindow& frame, QDockWidget* bar, int dx) {
    const int extent =
        frame.style()->pixelMetric(QStyle::PM_DockWidgetSeparatorExtent, nullptr, &frame);
    const QRect r = bar->geometry();
    const bool left = frame.dockWidgetArea(bar) == Qt::LeftDockWidgetArea;
    const QPoint from(left ? r.right() + 1 + extent / 2 : r.left() - 1 - extent / 2,
                      r.center().y());
    const QPoint to = from + QPoint(left ? dx : -dx, 0);
    QTest::mousePress(&frame, Qt::LeftButton, Qt::NoModifier, from);
    // The frame applies separator moves on its next turn of the event loop.
    QTest::mouseMove(&frame, from + (to - from) / 2);
    QTest::qWait(20);
    QTest::mouseMove(&frame, to);
    QTest::qWait(20);
    QTest::mouseRelease(&frame, Qt::LeftButton, Qt::NoModifier, to);
}

} // namespace tavolin::test
