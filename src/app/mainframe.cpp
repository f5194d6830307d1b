// CMainFrame: builds the window, its actions from the command table, and carries out the
// commands of the main interface (files, navigation, dialogs) and the window's events.
//
// Object names, so that tests and scripts can find things:
// - every command is a QAction named "cmd" + its command id ("cmd57601" 打开, "cmd32776" 前一测区,
//   "cmd59392" 工具栏(&T), …; see commands.cpp). Where the analysis menu shows a command under
//   another text, that menu's action is named "cmd<id>_ana" ("cmd32828_ana" 保存). The pane's own
//   print command of the main interface (Ctrl+P) is "cmd57607_view"; Ctrl+S is the framework's
//   save "cmd57603"; Ctrl+N is "cmd57600"; F6 / Shift+F6 are "cmd57680" / "cmd57681". The
//   recently-used entries are "cmd57616" … "cmd57619" inside the submenu "menuRecent".
// - bars: "barProject" (工程信息栏), "barArea" (当前测区数据栏), "barAnalysis" (分析输出信息栏);
//   toolbars "toolBarMain", "toolBarAnalysis"; splitters "splitterMain", "splitterAnalysis".
#include "app/mainframe.h"

#include "app/aboutdlg.h"
#include "app/analysiscommands.h"
#include "app/dlgparam.h"
#include "app/helpdlg.h"
#include "app/recentfiles.h"
#include "app/toolicons.h"
#include "app/undokeys.h"
#include "data/labels.h"
#include "views/analysisdowntview.h"
#include "views/analysisview.h"
#include "views/dlgcombine.h"
#include "views/dlgfilter.h"
#include "views/docbridge.h"
#include "views/formviewana.h"
#include "views/mainform.h"
#include "views/mainformright.h"
#include "views/mainscreen.h"
#include "views/plausibilitymarks.h"
#include "views/shellui.h"
#include "views/tavolinview.h"
#include "widgets/accessiblenames.h"

#include <QAction>
#include <QCloseEvent>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QScrollArea>
#include <QSettings>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QToolBar>

#include <algorithm>

namespace tavolin {

CMainFrame::CMainFrame(CTavolinDoc& document, DocBridge& bridge, QSettings& recentStore,
                       QWidget* parent)
    : QMainWindow(parent), doc_(document), bridge_(bridge), recentStore_(recentStore) {
    setObjectName(QStringLiteral("CMainFrame"));
    setWindowTitle(toQ(CTavolinDoc::baseTitle));
    setWindowIcon(programIcon());
    setAcceptDrops(true);
    setDockOptions(QMainWindow::AnimatedDocks);
    // Bars and toolbars follow the program's own flags, not the main window's context menu.
    setContextMenuPolicy(Qt::NoContextMenu);
    installAccessibleNames();

    buildActions();
    // Both keys of redo, as desktop programs have them.
    action(Command::Redo)
        ->setShortcuts(
            {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    installTextUndoFilter(this);
    buildToolBars();
    buildBars();
    buildInterfaces();
    buildMenus();

    readyLabel_ = new QLabel(QStringLiteral("就绪"), this);
    readyLabel_->setObjectName(QStringLiteral("labelReady"));
    statusBar()->addWidget(readyLabel_, 1);
    // Stays in view beside other messages until the values are corrected.
    statusBar()->addPermanentWidget(new PlausibilityLabel(bridge_, this));
    // How many points an automatic run left for a human, until they are picked by hand.
    reviewLabel_ = new QLabel(this);
    reviewLabel_->setObjectName(QStringLiteral("labelReview"));
    reviewLabel_->setAccessibleName(QStringLiteral("需人工判读的测点数"));
    reviewLabel_->hide();
    statusBar()->addPermanentWidget(reviewLabel_);
    auto showReviewCount = [this] {
        const int n = doc().isOpen() ? doc().pointsNeedingReview() : 0;
        reviewLabel_->setText(toQ(reviewCountText(n)));
        reviewLabel_->setVisible(n > 0);
    };
    connect(&bridge_, &DocBridge::jobChangedQueued, this, showReviewCount);
    connect(&bridge_, &DocBridge::contentsReplacedQueued, this, showReviewCount);

    barWidths_ = doc().barWidths();
    for (int& w : barWidths_)
        w = clampBarWidth(w);

    connect(&bridge_, &DocBridge::titleChangedQueued, this, &CMainFrame::setWindowTitle);
    connect(&bridge_, &DocBridge::areaChangedQueued, this, &CMainFrame::updateActions);
    connect(&bridge_, &DocBridge::contentsReplacedQueued, this, &CMainFrame::updateActions);
    // Undo and redo name the step they would take back or do again.
    connect(&bridge_, &DocBridge::jobChangedQueued, this, &CMainFrame::updateActions);
    connect(&bridge_, &DocBridge::modifiedChangedQueued, this, &CMainFrame::updateActions);
    connect(&bridge_, &DocBridge::noticeNow, this,
            [this](const QString& text) { showMessage(this, text); });

    updateActions();
}

CMainFrame::~CMainFrame() = default;

CTavolinDoc& CMainFrame::doc() {
    return doc_;
}

const CTavolinDoc& CMainFrame::doc() const {
    return doc_;
}

QAction* CMainFrame::action(const QString& objectName) const {
    return findChild<QAction*>(objectName);
}

// --- building ---

void CMainFrame::buildActions() {
    for (const CommandSpec& spec : commandTable()) {
        Q_ASSERT(&commandSpec(spec.command) == &spec);
        auto* a = new QAction(QString::fromUtf16(spec.text), this);
        a->setObjectName(commandObjectName(spec.command));
        // A tool button shows (and is named by) the icon text: the command without its
        // mnemonic, dots and the shortcut the menu text carries after the tab.
        QString iconText = QString::fromUtf16(spec.text).section(QLatin1Char('\t'), 0, 0);
        iconText.remove(QRegularExpression(QStringLiteral("\\(&.\\)|&|\\.\\.\\.$")));
        a->setIconText(iconText.trimmed());
        if (spec.icon)
            a->setIcon(toolIcon(QString::fromLatin1(spec.icon)));
        if (spec.tip) {
            a->setToolTip(QString::fromUtf16(spec.tip));
            a->setStatusTip(QString::fromUtf16(spec.tip));
        }
        a->setCheckable(spec.checked != nullptr);
        if (spec.shortcut.key() != Qt::Key_unknown) {
            // Shortcuts work whichever menu and toolbar are showing.
            a->setShortcut(QKeySequence(spec.shortcut));
            a->setShortcutContext(Qt::WindowShortcut);
            addAction(a);
        }
        if (spec.run)
            connect(a, &QAction::triggered, this, [this, run = spec.run] {
                run(*this);
                updateActions();
            });
        actions_[size_t(spec.command)] = a;
    }
}

namespace {
// A bar's form scrolls when the bar is shorter than the form, so the window fits small screens.
QScrollArea* scrolled(QWidget* form) {
    auto* area = new QScrollArea;
    area->setObjectName(form->objectName() + QStringLiteral("Scroll"));
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setWidget(form);
    return area;
}
} // namespace

void CMainFrame::buildInterfaces() {
    stack_ = new QStackedWidget(this);
    stack_->setObjectName(QStringLiteral("interfaces"));
    mainSplitter_ = new QSplitter(Qt::Vertical, stack_);
    mainSplitter_->setObjectName(QStringLiteral("splitterMain"));
    mainSplitter_->setChildrenCollapsible(false);
    analysisSplitter_ = new QSplitter(Qt::Vertical, stack_);
    analysisSplitter_->setObjectName(QStringLiteral("splitterAnalysis"));
    analysisSplitter_->setChildrenCollapsible(false);

    mainForm_ = new CMainForm(bridge_, projectBar_);
    mainFormRight_ = new MainFormRight(bridge_, areaBar_);
    panes_ = {new CFirstView(bridge_, mainSplitter_), new CSecView(bridge_, mainSplitter_),
              new CThirdView(bridge_, mainSplitter_)};
    projectBar_->setWidget(scrolled(mainForm_));
    areaBar_->setWidget(scrolled(mainFormRight_));
    for (int i = 0; i < 3; ++i)
        paneWidgets_[i] = panes_[i];
    CTavolinView* paneArray[3] = {panes_[0], panes_[1], panes_[2]};
    connectMainScreen(paneArray, mainForm_, mainFormRight_);
    connect(mainForm_, &CMainForm::openFileRequested, this, &CMainFrame::openFile);
    for (QWidget* p : paneWidgets_) {
        mainSplitter_->addWidget(p);
        if (p->focusPolicy() == Qt::NoFocus)
            p->setFocusPolicy(Qt::ClickFocus); // so that F6 can reach it
        p->installEventFilter(this);
    }
    for (int i = 0; i < 3; ++i)
        mainSplitter_->setStretchFactor(i, 1);
    mainSplitter_->setSizes({1000, 1000, 1000});

    analysisView_ = new CAnalysisView(bridge_, analysisSplitter_);
    analysisDownView_ = new CAnalysisDownTView(bridge_, analysisSplitter_);
    analysisSplitter_->addWidget(analysisView_);
    analysisSplitter_->addWidget(analysisDownView_);
    analysisSplitter_->setStretchFactor(0, 2);
    analysisSplitter_->setStretchFactor(1, 1);
    analysisSplitter_->setSizes({2000, 1000});
    formviewAna_ = new FormviewAna(bridge_, analysisBar_);
    analysisBar_->setWidget(scrolled(formviewAna_));

    stack_->addWidget(mainSplitter_);
    stack_->addWidget(analysisSplitter_);
    stack_->setCurrentWidget(mainSplitter_);
    setCentralWidget(stack_);
    viewsCreated_ = true;
}

// --- state of the commands ---

void CMainFrame::updateActions() {
    for (const CommandSpec& spec : commandTable()) {
        QAction* a = action(spec.command);
        a->setEnabled(spec.run && (!spec.enabled || spec.enabled(*this)));
        if (spec.checked)
            a->setChecked(spec.checked(*this));
    }
    const std::u16string undo = doc().undoName();
    const std::u16string redo = doc().redoName();
    action(Command::Undo)
        ->setText(undo.empty() ? QStringLiteral("撤销") : QStringLiteral("撤销 ") + toQ(undo));
    action(Command::Redo)
        ->setText(redo.empty() ? QStringLiteral("重做") : QStringLiteral("重做 ") + toQ(redo));
}

void CMainFrame::cyclePane(int step) {
    QList<QWidget*> panes;
    if (interface_ == MainInterface)
        panes = {paneWidgets_[0], paneWidgets_[1], paneWidgets_[2]};
    else
        panes = {analysisView_, analysisDownView_};
    int current = interface_ == MainInterface ? activePane_ : 0;
    for (int i = 0; i < panes.size(); ++i)
        if (panes[i]->hasFocus())
            current = i;
    const int next = (current + step + int(panes.size())) % int(panes.size());
    if (interface_ == MainInterface)
        activePane_ = next;
    panes[next]->setFocus(Qt::ShortcutFocusReason);
}

// --- open and save ---

bool CMainFrame::saveWithDialog() {
    // Proposes the open job's own type, so that a result job stays one.
    const bool result = toQ(doc().fileName()).contains(QStringLiteral(".SHA"), Qt::CaseInsensitive);
    const QString target = askSaveFile(this, filterSaveAs, pathToQ(doc().path()), QString(),
                                       result ? filterNameResult : filterNameRaw);
    if (target.isEmpty())
        return false;
    const std::u16string error = doc().save(pathFromQ(target));
    if (!error.empty()) {
        showMessage(this, toQ(error));
        return false;
    }
    recent_->add(target);
    return true;
}

bool CMainFrame::maybeSave() {
    if (!doc().isModified())
        return true;
    switch (askYesNoCancel(this, QStringLiteral("数据已经修改，是否保存"))) {
    case QMessageBox::Yes:
        return saveWithDialog();
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

bool CMainFrame::openFile(const QString& path) {
    if (path.isEmpty() || !maybeSave())
        return false;
    return openPath(path);
}

bool CMainFrame::openPath(const QString& path) {
    std::u16string error;
    {
        ProgressScope progress(this, QStringLiteral("正在打开文件..."));
        error = doc().open(pathFromQ(path), progress.options());
    }
    if (!error.empty()) {
        // The document keeps the previous job when a read fails.
        showMessage(this, toQ(error));
        updateActions();
        return false;
    }
    jobReplacedBy(path);
    return true;
}

void CMainFrame::jobReplacedBy(const QString& path) {
    setWindowTitle(toQ(doc().title()));
    mainForm_->addOpenedFile(path);
    recent_->add(path);
    updateActions();
    refreshActiveInterface();
}

void CMainFrame::refreshActiveInterface() {
    if (interface_ == AnalysisInterface)
        analysisRefresh();
    else
        navigationRefresh();
}

QStringList CMainFrame::recentFiles() const {
    return recent_->files();
}

void CMainFrame::onFileNew() {
    if (!maybeSave())
        return;
    // The analysis interface needs an open file.
    if (interface_ == AnalysisInterface)
        showMainCommand(*this);
    doc().newDocument();
    updateActions();
}

void CMainFrame::onFileOpen() {
    // Ask about unsaved changes before the file dialog, so that "取消" leaves everything as it was.
    if (!maybeSave())
        return;
    const QString path = askOpenFile(this, filterOpenData);
    if (!path.isEmpty()) {
        openPath(path);
    } else if (doc().isOpen()) {
        refreshActiveInterface();
    }
}

void CMainFrame::onFileSave() {
    if (!doc().isOpen())
        return;
    const std::u16string error = doc().save(doc().path());
    if (!error.empty())
        showMessage(this, toQ(error));
}

void CMainFrame::onFileSaveAs() {
    if (!doc().isOpen())
        return;
    saveWithDialog();
}

void CMainFrame::onMerge() {
    CDlgcombine dialog(this);
    dialog.exec();
}

// --- navigation ---

void CMainFrame::navigationRefresh() {
    for (CTavolinView* p : panes_)
        p->update();
    mainForm_->refresh();
    mainFormRight_->refresh();
    updateActions();
}

void CMainFrame::analysisRefresh() {
    analysisView_->refresh();
    analysisDownView_->refresh();
    formviewAna_->refresh();
    updateActions();
}

void CMainFrame::onPreviousArea() {
    const std::u16string message = doc().previousArea();
    if (!message.empty()) {
        showMessage(this, toQ(message));
        navigationRefresh();
    }
    updateActions();
}

void CMainFrame::onNextArea() {
    const std::u16string message = doc().nextArea();
    if (!message.empty()) {
        showMessage(this, toQ(message));
        navigationRefresh();
    }
    updateActions();
}

// --- dialogs ---

void CMainFrame::onTestParameters() {
    if (!doc().isOpen())
        return;
    CDlgParam dialog(doc(), this);
    dialog.exec();
}

void CMainFrame::onFilter() {
    const std::u16string message = doc().filterCommandCheck();
    if (!message.empty()) {
        showMessage(this, toQ(message));
        return;
    }
    CDlgFilter dialog(bridge_, this);
    dialog.exec();
}

void CMainFrame::onAbout() {
    CAboutDlg dialog(this);
    dialog.exec();
}

void CMainFrame::onHelp(CHelpDlg::Page page) {
    CHelpDlg dialog(page, this);
    dialog.exec();
}

void CMainFrame::onPrintPane() {
    if (interface_ != MainInterface)
        return;
    CTavolinView* pane = panes_[std::clamp(activePane_, 0, 2)];
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QPainter painter;
    if (!painter.begin(&printer)) {
        showMessage(this, QStringLiteral("打印失败"));
        return;
    }
    // The pane as it is on the screen, scaled to the width of the page.
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const QRect paneRect(0, 0, std::max(1, pane->width()), std::max(1, pane->height()));
    const double scale = std::min(double(page.width()) / paneRect.width(),
                                  double(page.height()) / paneRect.height());
    painter.scale(scale, scale);
    pane->paintPane(painter, paneRect);
    painter.end();
}

// --- window events ---

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    const std::array<QDockWidget*, 3> docks{projectBar_, areaBar_, analysisBar_};
    if (event->type() == QEvent::Close) {
        // The bar's own close button clears its flag, like the menu item.
        if (watched == projectBar_)
            projectBarVisible_ = false;
        else if (watched == areaBar_)
            areaBarVisible_ = false;
        else if (watched == analysisBar_)
            analysisBarVisible_ = false;
        if (std::find(docks.begin(), docks.end(), watched) != docks.end()) {
            rememberBarWidths();
            updateActions();
        }
    } else if (event->type() == QEvent::MouseButtonPress) {
        for (int i = 0; i < 3; ++i)
            if (watched == paneWidgets_[i])
                activePane_ = i;
    } else if (event->type() == QEvent::FocusIn) {
        for (int i = 0; i < 3; ++i)
            if (watched == paneWidgets_[i])
                activePane_ = i;
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    doc().barWidths() = barWidths_;
    if (!maybeSave()) {
        event->ignore();
        return;
    }
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls())
        for (const QUrl& url : event->mimeData()->urls())
            if (url.isLocalFile()) {
                event->acceptProposedAction();
                return;
            }
}

void CMainFrame::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            event->acceptProposedAction();
            // Opened after the drop has finished, so the prompt is not shown inside the drag.
            const QString path = url.toLocalFile();
            QMetaObject::invokeMethod(
                this, [this, path] { openFile(path); }, Qt::QueuedConnection);
            return;
        }
    }
}

} // namespace tavolin
