// CMainFrame: builds the window and carries out the commands of both interfaces.
//
// Object names, so that tests and scripts can find things:
// - every command is a QAction named "cmd" + its command id ("cmd57601" 打开, "cmd32776" 前一测区,
//   "cmd59392" 工具栏(&T), …). Where the analysis menu shows a command under another text, that
//   menu's action is named "cmd<id>_ana" ("cmd32828_ana" 保存). The pane's own print command of
//   the main interface (Ctrl+P) is "cmd57607_view"; Ctrl+S is the framework's save "cmd57603";
//   Ctrl+N is "cmd57600"; F6 / Shift+F6 are "cmd57680" / "cmd57681". The recently-used entries
//   are "cmd57616" … "cmd57619" inside the submenu "menuRecent".
// - bars: "barProject" (工程信息栏), "barArea" (当前测区数据栏), "barAnalysis" (分析输出信息栏);
//   toolbars "toolBarMain", "toolBarAnalysis"; splitters "splitterMain", "splitterAnalysis".
#include "app/mainframe.h"

#include "app/aboutdlg.h"
#include "app/dlgparam.h"
#include "app/toolicons.h"
#include "views/analysisdowntview.h"
#include "views/analysisview.h"
#include "views/dlgcombine.h"
#include "views/dlgfilter.h"
#include "views/docbridge.h"
#include "views/formviewana.h"
#include "views/mainform.h"
#include "views/mainformright.h"
#include "views/mainscreen.h"
#include "views/shellui.h"
#include "views/tavolinview.h"

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
#include <QSettings>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QToolBar>

#include <algorithm>

namespace tavolin {

namespace {

constexpr int recentCount = 4;
const QString recentGroup = QStringLiteral("Recent File List");

// Commands of the analysis interface that another part of the program will carry out; until
// then they are shown greyed rather than doing nothing.
const int pendingCommands[] = {57606, 57609, 57607, 32808, 32809, 32830, 32810, 32811, 32812};
// Items that have no handler at all and are always greyed.
const int deadCommands[] = {32793, 32794, 32795};

QString commandName(int id, const QString& suffix = QString()) {
    return QStringLiteral("cmd%1").arg(id) + suffix;
}

} // namespace

CMainFrame::CMainFrame(DocBridge& bridge, QSettings& recentStore, QWidget* parent)
    : QMainWindow(parent), bridge_(bridge), recentStore_(recentStore) {
    setObjectName(QStringLiteral("CMainFrame"));
    setWindowTitle(baseTitle);
    setWindowIcon(programIcon());
    setAcceptDrops(true);
    setDockOptions(QMainWindow::AnimatedDocks);
    // Bars and toolbars follow the program's own flags, not the main window's context menu.
    setContextMenuPolicy(Qt::NoContextMenu);

    buildActions();
    buildToolBars();
    buildBars();
    buildInterfaces();
    buildMenus();

    readyLabel_ = new QLabel(QStringLiteral("就绪"), this);
    readyLabel_->setObjectName(QStringLiteral("labelReady"));
    statusBar()->addWidget(readyLabel_, 1);

    barWidths_ = doc().barWidths();
    for (int& w : barWidths_)
        w = clampBarWidth(w);

    connect(&bridge_, &DocBridge::titleChangedQueued, this, &CMainFrame::setWindowTitle);
    connect(&bridge_, &DocBridge::areaChangedQueued, this, &CMainFrame::updateActions);
    connect(&bridge_, &DocBridge::contentsReplacedQueued, this, &CMainFrame::updateActions);
    connect(&bridge_, &DocBridge::noticeNow, this,
            [this](const QString& text) { showMessage(this, text); });

    updateRecentMenu();
    updateActions();
}

CMainFrame::~CMainFrame() = default;

CTavolinDoc& CMainFrame::doc() {
    return bridge_.doc();
}

QAction* CMainFrame::action(const QString& objectName) const {
    return findChild<QAction*>(objectName);
}

// --- building ---

QAction* CMainFrame::makeAction(int id, const QString& text, const char* icon, const QString& tip,
                                const QString& suffix) {
    auto* a = new QAction(text, this);
    a->setObjectName(commandName(id, suffix));
    if (icon)
        a->setIcon(toolIcon(QString::fromLatin1(icon)));
    if (!tip.isEmpty()) {
        a->setToolTip(tip);
        a->setStatusTip(tip);
    }
    return a;
}

void CMainFrame::buildActions() {
    auto on = [this](QAction* a, void (CMainFrame::*slot)()) {
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    // Ctrl+N, the framework's new document: it has no menu entry or button of its own.
    on(makeAction(57600, QStringLiteral("新建")), &CMainFrame::onFileNew)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    on(makeAction(57601, QStringLiteral("打开(&O)...\tCtrl+O"), "open", QStringLiteral("打开")),
       &CMainFrame::onFileOpen)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    on(makeAction(32806, QStringLiteral("打开"), "open"), &CMainFrame::onFileOpen);
    on(makeAction(32828, QStringLiteral("保存(&S)\tCtrl+S"), "save", QStringLiteral("保存")),
       &CMainFrame::onFileSave);
    on(makeAction(32828, QStringLiteral("保存"), "save", QStringLiteral("保存"), "_ana"),
       &CMainFrame::onFileSave);
    on(makeAction(57603, QStringLiteral("保存")), &CMainFrame::onFileSave)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    on(makeAction(32827, QStringLiteral("另存为(&A)...")), &CMainFrame::onFileSaveAs);
    on(makeAction(32805, QStringLiteral("合并")), &CMainFrame::onMerge);
    on(makeAction(32840, QStringLiteral("退出")), &CMainFrame::onExit);
    on(makeAction(32841, QStringLiteral("退出")), &CMainFrame::onExit);
    on(makeAction(32775, QStringLiteral("检测参数"), nullptr, QStringLiteral("检查参数")),
       &CMainFrame::onTestParameters);
    on(makeAction(32776, QStringLiteral("前一测区"), "prev", QStringLiteral("前一测区")),
       &CMainFrame::onPreviousArea);
    on(makeAction(32777, QStringLiteral("后一测区"), "next", QStringLiteral("后一测区")),
       &CMainFrame::onNextArea);
    on(makeAction(59392, QStringLiteral("工具栏(&T)")), &CMainFrame::onToggleToolBar);
    on(makeAction(32835, QStringLiteral("工程信息栏"), nullptr, QStringLiteral("工程信息栏")),
       &CMainFrame::onToggleProjectBar);
    on(makeAction(32837, QStringLiteral("当前测区数据栏"), nullptr,
                  QStringLiteral("当前测区数据栏")),
       &CMainFrame::onToggleAreaBar);
    on(makeAction(59393, QStringLiteral("状态栏(&S)")), &CMainFrame::onToggleStatusBar);
    on(makeAction(32779, QStringLiteral("输出"), "analysis", QStringLiteral("分析界面")),
       &CMainFrame::onShowAnalysis);
    on(makeAction(32781, QStringLiteral("滤波"), nullptr, QStringLiteral("滤波")),
       &CMainFrame::onFilter);
    on(makeAction(57664, QStringLiteral("关于 Tavolin(&A)...")), &CMainFrame::onAbout);
    on(makeAction(32797, QStringLiteral("保存结果"), "saveresult", QStringLiteral("保存结果文件")),
       &CMainFrame::onSaveResult);
    makeAction(57606, QStringLiteral("打印设置"), "printsetup");
    makeAction(57609, QStringLiteral("打印预览(&V)"), "preview");
    makeAction(57607, QStringLiteral("打印\tCtrl+P"), "print");
    on(makeAction(57607, QStringLiteral("打印"), nullptr, QString(), "_view"),
       &CMainFrame::onPrintPane)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    makeAction(32810, QStringLiteral("角度修正表"));
    makeAction(32811, QStringLiteral("测试面修正表"));
    makeAction(32812, QStringLiteral("碳化深度修正表"));
    on(makeAction(32796, QStringLiteral("返回主界面"), "back", QStringLiteral("返回主界面")),
       &CMainFrame::onShowMain);
    on(makeAction(32838, QStringLiteral("分析信息栏"), nullptr, QStringLiteral("分析信息栏")),
       &CMainFrame::onToggleAnalysisBar);
    makeAction(32808, QStringLiteral("生成word文档"), "word", QStringLiteral("输出到word"));
    makeAction(32809, QStringLiteral("输出到BMP"));
    makeAction(32830, QStringLiteral("输出到excel"), "excel", QStringLiteral("导出到EXCEL"));
    makeAction(32793, QStringLiteral("目录"));
    makeAction(32794, QStringLiteral("联系我们"));
    makeAction(32795, QStringLiteral("关于"));

    // F6 / Shift+F6: next / previous pane of the active interface.
    auto cyclePane = [this](int step) {
        QList<QWidget*> panes;
        if (interface_ == MainInterface)
            panes = {paneWidgets_[0], paneWidgets_[1], paneWidgets_[2]};
        else
            panes = {analysisView_, analysisDownView_};
        if (panes.isEmpty())
            return;
        int current = interface_ == MainInterface ? activePane_ : 0;
        for (int i = 0; i < panes.size(); ++i)
            if (panes[i]->hasFocus())
                current = i;
        const int next = (current + step + int(panes.size())) % int(panes.size());
        if (interface_ == MainInterface)
            activePane_ = next;
        panes[next]->setFocus(Qt::ShortcutFocusReason);
    };
    QAction* nextPane = makeAction(57680, QStringLiteral("下一窗格"));
    nextPane->setShortcut(QKeySequence(Qt::Key_F6));
    connect(nextPane, &QAction::triggered, this, [cyclePane] { cyclePane(1); });
    QAction* prevPane = makeAction(57681, QStringLiteral("上一窗格"));
    prevPane->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6));
    connect(prevPane, &QAction::triggered, this, [cyclePane] { cyclePane(-1); });

    for (int id : {59392, 32835, 32837, 32838, 59393})
        action(commandName(id))->setCheckable(true);
    // Shortcuts work whichever menu and toolbar are showing.
    for (const char* name :
         {"cmd57600", "cmd57601", "cmd57603", "cmd57607_view", "cmd57680", "cmd57681"}) {
        QAction* a = action(QString::fromLatin1(name));
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
    }
}

void CMainFrame::buildMenus() {
    auto add = [this](QMenu* menu, std::initializer_list<const char*> names) {
        for (const char* name : names) {
            if (std::string_view(name) == "-")
                menu->addSeparator();
            else
                menu->addAction(action(QString::fromLatin1(name)));
        }
    };
    auto menu = [this](const QString& title, const char* name) {
        auto* m = new QMenu(title, this);
        m->setObjectName(QString::fromLatin1(name));
        return m;
    };

    QMenu* file = menu(QStringLiteral("文件(&F)"), "menuFile");
    add(file, {"cmd57601", "cmd32828", "cmd32827", "-", "cmd32805", "-"});
    recentMenu_ = file->addMenu(QStringLiteral("最近的文件"));
    recentMenu_->setObjectName(QStringLiteral("menuRecent"));
    for (int i = 0; i < recentCount; ++i) {
        QAction* a = makeAction(57616 + i, QString());
        connect(a, &QAction::triggered, this, [this, a] { openFile(a->data().toString()); });
        recentMenu_->addAction(a);
    }
    add(file, {"-", "cmd32840"});
    QMenu* view = menu(QStringLiteral("视图(&V)"), "menuView");
    add(view, {"cmd59392", "cmd59393", "-", "cmd32835", "cmd32837"});
    QMenu* area = menu(QStringLiteral("测区(&D)"), "menuArea");
    add(area, {"cmd32775", "-", "cmd32776", "cmd32777"});
    QMenu* wave = menu(QStringLiteral("波形处理(&W)"), "menuWave");
    add(wave, {"cmd32781"});
    QMenu* analysis = menu(QStringLiteral("分析(&N)"), "menuAnalysis");
    add(analysis, {"cmd32779"});
    QMenu* help = menu(QStringLiteral("帮助(&H)"), "menuHelp");
    add(help, {"cmd57664"});
    mainMenus_ = {file, view, area, wave, analysis, help};

    QMenu* aFile = menu(QStringLiteral("文件(&F)"), "menuAnaFile");
    add(aFile, {"cmd32806", "cmd32828_ana", "cmd32797", "-", "cmd57606", "cmd57609", "cmd57607",
                "-", "cmd32841"});
    QMenu* aOut = menu(QStringLiteral("输出(&O)"), "menuAnaOutput");
    add(aOut, {"cmd32808", "cmd32830", "cmd32809"});
    QMenu* aTables = menu(QStringLiteral("修正表(&C)"), "menuAnaTables");
    add(aTables, {"cmd32810", "cmd32811", "cmd32812"});
    QMenu* aView = menu(QStringLiteral("视图(&V)"), "menuAnaView");
    add(aView, {"cmd59392", "cmd59393", "cmd32838", "-", "cmd32796"});
    QMenu* aHelp = menu(QStringLiteral("帮助(&H)"), "menuAnaHelp");
    add(aHelp, {"cmd32793", "cmd32794", "cmd32795"});
    analysisMenus_ = {aFile, aOut, aTables, aView, aHelp};

    for (QMenu* m : mainMenus_)
        menuBar()->addMenu(m);
}

void CMainFrame::buildToolBars() {
    auto bar = [this](const QString& title, const char* name,
                      std::initializer_list<const char*> actions) {
        auto* t = new QToolBar(title, this);
        t->setObjectName(QString::fromLatin1(name));
        t->setIconSize(QSize(32, 32));
        t->setToolButtonStyle(Qt::ToolButtonIconOnly);
        for (const char* a : actions)
            t->addAction(action(QString::fromLatin1(a)));
        addToolBar(Qt::TopToolBarArea, t);
        return t;
    };
    mainToolBar_ = bar(QStringLiteral("主工具栏"), "toolBarMain",
                       {"cmd57601", "cmd32828", "cmd32776", "cmd32777", "cmd32779"});
    analysisToolBar_ = bar(QStringLiteral("分析工具栏"), "toolBarAnalysis",
                           {"cmd57601", "cmd32828", "cmd32797", "cmd32808", "cmd32830", "cmd57606",
                            "cmd57609", "cmd57607", "cmd32796"});
    analysisToolBar_->hide();
    // The toolbars follow the one toolbar flag; a closed floating toolbar clears it.
    for (QToolBar* t : {mainToolBar_, analysisToolBar_})
        t->toggleViewAction()->setVisible(false);
}

void CMainFrame::buildBars() {
    auto bar = [this](const QString& title, const char* name, Qt::DockWidgetArea area) {
        auto* d = new QDockWidget(title, this);
        d->setObjectName(QString::fromLatin1(name));
        d->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
        d->installEventFilter(this);
        addDockWidget(area, d);
        return d;
    };
    projectBar_ = bar(QStringLiteral("工程信息栏"), "barProject", Qt::LeftDockWidgetArea);
    areaBar_ = bar(QStringLiteral("当前测区数据栏"), "barArea", Qt::RightDockWidgetArea);
    analysisBar_ = bar(QStringLiteral("分析输出信息栏"), "barAnalysis", Qt::LeftDockWidgetArea);
    analysisBar_->hide();
}

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
    projectBar_->setWidget(mainForm_);
    areaBar_->setWidget(mainFormRight_);
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
    analysisBar_->setWidget(formviewAna_);

    stack_->addWidget(mainSplitter_);
    stack_->addWidget(analysisSplitter_);
    stack_->setCurrentWidget(mainSplitter_);
    setCentralWidget(stack_);
    viewsCreated_ = true;
}

// --- state of the commands ---

void CMainFrame::updateActions() {
    const bool open = doc().isOpen();
    const bool main = interface_ == MainInterface;
    // Saving needs an open file; after any successful open both stay available.
    for (const char* name : {"cmd32828", "cmd32828_ana", "cmd32827"})
        action(QString::fromLatin1(name))->setEnabled(open);
    action(QStringLiteral("cmd32775"))->setEnabled(open);
    action(QStringLiteral("cmd32776"))->setEnabled(open && doc().canGoPrevious());
    action(QStringLiteral("cmd32777"))->setEnabled(open && doc().canGoNext());
    action(QStringLiteral("cmd57607_view"))->setEnabled(main);
    for (int id : pendingCommands)
        action(commandName(id))->setEnabled(false);
    for (int id : deadCommands)
        action(commandName(id))->setEnabled(false);

    action(QStringLiteral("cmd59392"))->setChecked(toolBarVisible_);
    action(QStringLiteral("cmd32835"))->setChecked(projectBarVisible_);
    action(QStringLiteral("cmd32837"))->setChecked(areaBarVisible_);
    action(QStringLiteral("cmd32838"))->setChecked(analysisBarVisible_);
    action(QStringLiteral("cmd59393"))->setChecked(!statusBar()->isHidden());
}

// --- recently-used list ---

QStringList CMainFrame::recentFiles() const {
    QStringList files;
    recentStore_.beginGroup(recentGroup);
    for (int i = 1; i <= recentCount; ++i) {
        const QString f = recentStore_.value(QStringLiteral("File%1").arg(i)).toString();
        if (!f.isEmpty())
            files << f;
    }
    recentStore_.endGroup();
    return files;
}

void CMainFrame::addRecentFile(const QString& path) {
    QStringList files = recentFiles();
    const QString absolute = QFileInfo(path).absoluteFilePath();
    files.removeAll(absolute);
    files.prepend(absolute);
    while (files.size() > recentCount)
        files.removeLast();
    recentStore_.beginGroup(recentGroup);
    for (int i = 0; i < recentCount; ++i) {
        const QString key = QStringLiteral("File%1").arg(i + 1);
        if (i < files.size())
            recentStore_.setValue(key, files[i]);
        else
            recentStore_.remove(key);
    }
    recentStore_.endGroup();
    recentStore_.sync();
    updateRecentMenu();
}

void CMainFrame::updateRecentMenu() {
    const QStringList files = recentFiles();
    const QList<QAction*> entries = recentMenu_->actions();
    for (int i = 0; i < entries.size(); ++i) {
        QAction* a = entries[i];
        a->setVisible(i < files.size());
        if (i < files.size()) {
            QString shown = files[i];
            shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
            a->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
            a->setData(files[i]);
        }
    }
    recentMenu_->setEnabled(!files.isEmpty());
}

// --- open and save ---

bool CMainFrame::saveWithDialog() {
    const QString target = askSaveFile(this, filterOpenData, pathToQ(doc().path()));
    if (target.isEmpty())
        return false;
    const std::u16string error = doc().save(pathFromQ(target));
    if (!error.empty()) {
        showMessage(this, toQ(error));
        return false;
    }
    addRecentFile(target);
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
    setWindowTitle(toQ(doc().title()));
    mainForm_->addOpenedFile(path);
    addRecentFile(path);
    updateActions();
    if (interface_ == AnalysisInterface)
        analysisRefresh();
    else
        navigationRefresh();
    return true;
}

void CMainFrame::onFileNew() {
    if (!maybeSave())
        return;
    // The analysis interface needs an open file.
    if (interface_ == AnalysisInterface)
        onShowMain();
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
        if (interface_ == AnalysisInterface)
            analysisRefresh();
        else
            navigationRefresh();
    }
}

void CMainFrame::onExit() {
    close();
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
    const QString target = askSaveFile(this, filterSaveAs, pathToQ(doc().path()));
    if (target.isEmpty())
        return;
    const std::u16string error = doc().save(pathFromQ(target));
    if (!error.empty()) {
        showMessage(this, toQ(error));
        return;
    }
    addRecentFile(target);
}

void CMainFrame::onSaveResult() {
    if (!doc().isOpen()) {
        showMessage(this, QStringLiteral("请先打开文件!"));
        return;
    }
    const QString target =
        askSaveFile(this, filterResult, pathToQ(doc().proposedResultPath()), QStringLiteral("SHA"));
    if (target.isEmpty())
        return;
    std::u16string error;
    {
        ProgressScope progress(this, QStringLiteral("正在保存结果..."));
        error = doc().saveResult(pathFromQ(target), progress.options());
    }
    if (!error.empty()) {
        showMessage(this, toQ(error));
        updateActions();
        return;
    }
    // The written file is now the open job.
    setWindowTitle(toQ(doc().title()));
    mainForm_->addOpenedFile(target);
    addRecentFile(target);
    updateActions();
    if (interface_ == AnalysisInterface)
        analysisRefresh();
    else
        navigationRefresh();
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

// --- interfaces and bars ---

void CMainFrame::onToggleToolBar() {
    toolBarVisible_ = !toolBarVisible_;
    (interface_ == MainInterface ? mainToolBar_ : analysisToolBar_)->setVisible(toolBarVisible_);
    updateActions();
}

void CMainFrame::onToggleProjectBar() {
    projectBarVisible_ = !projectBarVisible_;
    if (interface_ == MainInterface) {
        projectBar_->setVisible(projectBarVisible_);
        if (projectBarVisible_)
            resizeDocks({projectBar_}, {barWidths_[0]}, Qt::Horizontal);
    }
    updateActions();
}

void CMainFrame::onToggleAreaBar() {
    areaBarVisible_ = !areaBarVisible_;
    if (interface_ == MainInterface) {
        areaBar_->setVisible(areaBarVisible_);
        if (areaBarVisible_)
            resizeDocks({areaBar_}, {barWidths_[1]}, Qt::Horizontal);
    }
    updateActions();
}

void CMainFrame::onToggleAnalysisBar() {
    analysisBarVisible_ = !analysisBarVisible_;
    if (interface_ == AnalysisInterface) {
        analysisBar_->setVisible(analysisBarVisible_);
        if (analysisBarVisible_)
            resizeDocks({analysisBar_}, {barWidths_[2]}, Qt::Horizontal);
    }
    updateActions();
}

void CMainFrame::onToggleStatusBar() {
    statusBar()->setVisible(statusBar()->isHidden());
    updateActions();
}

void CMainFrame::onShowAnalysis() {
    if (!doc().isOpen() || interface_ == AnalysisInterface)
        return;
    interface_ = AnalysisInterface;
    stack_->setCurrentWidget(analysisSplitter_);
    areaBar_->hide();
    projectBar_->hide();
    menuBar()->clear();
    for (QMenu* m : analysisMenus_)
        menuBar()->addMenu(m);
    analysisBar_->setVisible(analysisBarVisible_);
    if (analysisBarVisible_)
        resizeDocks({analysisBar_}, {barWidths_[2]}, Qt::Horizontal);
    mainToolBar_->hide();
    analysisToolBar_->setVisible(toolBarVisible_);
    analysisView_->setFocus(Qt::OtherFocusReason);
    analysisRefresh();
}

void CMainFrame::onShowMain() {
    if (interface_ == MainInterface)
        return;
    interface_ = MainInterface;
    stack_->setCurrentWidget(mainSplitter_);
    analysisBar_->hide();
    projectBar_->setVisible(projectBarVisible_);
    areaBar_->setVisible(areaBarVisible_);
    QList<QDockWidget*> shown;
    QList<int> widths;
    if (projectBarVisible_) {
        shown << projectBar_;
        widths << barWidths_[0];
    }
    if (areaBarVisible_) {
        shown << areaBar_;
        widths << barWidths_[1];
    }
    if (!shown.isEmpty())
        resizeDocks(shown, widths, Qt::Horizontal);
    menuBar()->clear();
    for (QMenu* m : mainMenus_)
        menuBar()->addMenu(m);
    analysisToolBar_->hide();
    mainToolBar_->setVisible(toolBarVisible_);
    navigationRefresh();
}

// --- bar widths ---

int CMainFrame::clampBarWidth(int width) {
    return std::clamp(width, 80, 900);
}

void CMainFrame::applyBarWidths(const std::array<int, 3>& widths) {
    for (int i = 0; i < 3; ++i)
        barWidths_[i] = clampBarWidth(widths[i]);
    QList<QDockWidget*> docks;
    QList<int> sizes;
    const std::array<QDockWidget*, 3> all{projectBar_, areaBar_, analysisBar_};
    for (int i = 0; i < 3; ++i) {
        if (all[i]->isVisible()) {
            docks << all[i];
            sizes << barWidths_[i];
        }
    }
    if (!docks.isEmpty())
        resizeDocks(docks, sizes, Qt::Horizontal);
}

void CMainFrame::rememberBarWidths() {
    const std::array<QDockWidget*, 3> all{projectBar_, areaBar_, analysisBar_};
    for (int i = 0; i < 3; ++i)
        if (all[i]->isVisible() && !all[i]->isFloating())
            barWidths_[i] = all[i]->width();
}

std::array<int, 3> CMainFrame::currentBarWidths() const {
    std::array<int, 3> widths = barWidths_;
    const std::array<QDockWidget*, 3> all{projectBar_, areaBar_, analysisBar_};
    for (int i = 0; i < 3; ++i)
        if (all[i]->isVisible() && !all[i]->isFloating())
            widths[i] = all[i]->width();
    return widths;
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
    rememberBarWidths();
    doc().barWidths() = currentBarWidths();
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
