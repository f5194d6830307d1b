// CMainFrame's layout: the menus and toolbars of both interfaces, the three bars, their flags and
// widths, and the switch between the interfaces.
#include "app/mainframe.h"

#include "app/recentfiles.h"

#include <QDockWidget>
#include <QMenu>
#include <QMenuBar>
#include <QResizeEvent>
#include <QSplitter>
#include <QStackedWidget>
#include <QToolBar>

#include <algorithm>

namespace tavolin {

namespace {
using C = Command;
constexpr Command separator = Command::Count;
} // namespace

void CMainFrame::buildMenus() {
    auto menu = [this](const QString& title, const char* name,
                       std::initializer_list<Command> items) {
        auto* m = new QMenu(title, this);
        m->setObjectName(QString::fromLatin1(name));
        for (Command c : items) {
            if (c == separator)
                m->addSeparator();
            else
                m->addAction(action(c));
        }
        return m;
    };

    QMenu* file = menu(QStringLiteral("文件(&F)"), "menuFile",
                       {C::FileOpen, C::FileSave, C::FileSaveAs, separator, C::Merge, separator});
    QMenu* recentMenu = file->addMenu(QStringLiteral("最近的文件"));
    recentMenu->setObjectName(QStringLiteral("menuRecent"));
    recent_ =
        new RecentFiles(recentStore_, recentMenu, [this](const QString& path) { openFile(path); });
    file->addSeparator();
    file->addAction(action(C::Exit));
    QMenu* edit = menu(QStringLiteral("编辑(&E)"), "menuEdit", {C::Undo, C::Redo});
    QMenu* view = menu(
        QStringLiteral("视图(&V)"), "menuView",
        {C::ToggleToolBar, C::ToggleStatusBar, separator, C::ToggleProjectBar, C::ToggleAreaBar});
    QMenu* area = menu(QStringLiteral("测区(&D)"), "menuArea",
                       {C::TestParameters, separator, C::PreviousArea, C::NextArea});
    QMenu* wave = menu(QStringLiteral("波形处理(&W)"), "menuWave",
                       {C::Filter, separator, C::AutoPickArea, C::AutoPickMember, C::AutoPickAll});
    QMenu* analysis = menu(QStringLiteral("分析(&N)"), "menuAnalysis", {C::ShowAnalysis});
    QMenu* help = menu(QStringLiteral("帮助(&H)"), "menuHelp", {C::About});
    mainMenus_ = {file, edit, view, area, wave, analysis, help};

    QMenu* aFile =
        menu(QStringLiteral("文件(&F)"), "menuAnaFile",
             {C::FileOpenAnalysis, C::FileSaveAnalysis, C::SaveResult, separator, C::PrintSetup,
              C::PrintPreview, C::Print, C::PdfExport, separator, C::ExitAnalysis});
    QMenu* aEdit = menu(QStringLiteral("编辑(&E)"), "menuAnaEdit", {C::Undo, C::Redo});
    QMenu* aOut = menu(QStringLiteral("输出(&O)"), "menuAnaOutput",
                       {C::WordReport, C::ExcelExport, C::BitmapExport});
    QMenu* aTables = menu(QStringLiteral("修正表(&C)"), "menuAnaTables",
                          {C::AngleTable, C::PlaneTable, C::CarbonTable});
    QMenu* aView =
        menu(QStringLiteral("视图(&V)"), "menuAnaView",
             {C::ToggleToolBar, C::ToggleStatusBar, C::ToggleAnalysisBar, separator, C::ShowMain});
    QMenu* aHelp = menu(QStringLiteral("帮助(&H)"), "menuAnaHelp",
                        {C::HelpContents, C::HelpContact, C::HelpAbout});
    analysisMenus_ = {aFile, aEdit, aOut, aTables, aView, aHelp};

    for (QMenu* m : mainMenus_)
        menuBar()->addMenu(m);
}

void CMainFrame::buildToolBars() {
    auto bar = [this](const QString& title, const char* name,
                      std::initializer_list<Command> items) {
        auto* t = new QToolBar(title, this);
        t->setObjectName(QString::fromLatin1(name));
        t->setIconSize(QSize(32, 32));
        t->setToolButtonStyle(Qt::ToolButtonIconOnly);
        for (Command c : items)
            t->addAction(action(c));
        addToolBar(Qt::TopToolBarArea, t);
        return t;
    };
    mainToolBar_ = bar(QStringLiteral("主工具栏"), "toolBarMain",
                       {C::FileOpen, C::FileSave, C::PreviousArea, C::NextArea, C::ShowAnalysis});
    analysisToolBar_ = bar(QStringLiteral("分析工具栏"), "toolBarAnalysis",
                           {C::FileOpen, C::FileSave, C::SaveResult, C::WordReport, C::ExcelExport,
                            C::PrintSetup, C::PrintPreview, C::Print, C::PdfExport, C::ShowMain});
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
        // Its form scrolls; the bar itself never gets narrower than the narrowest stored width.
        d->setMinimumWidth(clampBarWidth(0));
        d->installEventFilter(this);
        addDockWidget(area, d);
        return d;
    };
    projectBar_ = bar(QStringLiteral("工程信息栏"), "barProject", Qt::LeftDockWidgetArea);
    areaBar_ = bar(QStringLiteral("当前测区数据栏"), "barArea", Qt::RightDockWidgetArea);
    analysisBar_ = bar(QStringLiteral("分析输出信息栏"), "barAnalysis", Qt::LeftDockWidgetArea);
    analysisBar_->hide();
}

// --- interfaces ---

void CMainFrame::showInterface(Interface which) {
    if (interface_ == which)
        return;
    interface_ = which;
    const bool analysis = which == AnalysisInterface;
    stack_->setCurrentWidget(analysis ? analysisSplitter_ : mainSplitter_);
    QList<QDockWidget*> shown;
    QList<int> widths;
    auto showBar = [&](QDockWidget* bar, bool visible, int width) {
        bar->setVisible(visible);
        if (visible) {
            shown << bar;
            widths << width;
        }
    };
    if (analysis) {
        areaBar_->hide();
        projectBar_->hide();
        showBar(analysisBar_, analysisBarVisible_, barWidths_[2]);
    } else {
        analysisBar_->hide();
        showBar(projectBar_, projectBarVisible_, barWidths_[0]);
        showBar(areaBar_, areaBarVisible_, barWidths_[1]);
    }
    if (!shown.isEmpty())
        resizeDocks(shown, widths, Qt::Horizontal);
    menuBar()->clear();
    for (QMenu* m : analysis ? analysisMenus_ : mainMenus_)
        menuBar()->addMenu(m);
    (analysis ? mainToolBar_ : analysisToolBar_)->hide();
    (analysis ? analysisToolBar_ : mainToolBar_)->setVisible(toolBarVisible_);
    updateActions();
}

// --- flags of the toolbars and bars ---

void CMainFrame::onToggleToolBar() {
    toolBarVisible_ = !toolBarVisible_;
    (interface_ == MainInterface ? mainToolBar_ : analysisToolBar_)->setVisible(toolBarVisible_);
    updateActions();
}

namespace {
// Flips a bar's flag; the bar follows it when its interface is showing.
void toggleBar(QMainWindow* frame, QDockWidget* bar, bool& flag, bool inItsInterface, int width) {
    flag = !flag;
    if (inItsInterface) {
        bar->setVisible(flag);
        if (flag)
            frame->resizeDocks({bar}, {width}, Qt::Horizontal);
    }
}
} // namespace

void CMainFrame::onToggleProjectBar() {
    toggleBar(this, projectBar_, projectBarVisible_, interface_ == MainInterface, barWidths_[0]);
    updateActions();
}

void CMainFrame::onToggleAreaBar() {
    toggleBar(this, areaBar_, areaBarVisible_, interface_ == MainInterface, barWidths_[1]);
    updateActions();
}

void CMainFrame::onToggleAnalysisBar() {
    toggleBar(this, analysisBar_, analysisBarVisible_, interface_ == AnalysisInterface,
              barWidths_[2]);
    updateActions();
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
    barWidths_ = currentBarWidths();
}

void CMainFrame::restoreBarWidths() {
    QList<QDockWidget*> docks;
    QList<int> sizes;
    const std::array<QDockWidget*, 3> all{projectBar_, areaBar_, analysisBar_};
    for (int i = 0; i < 3; ++i) {
        if (all[i]->isVisible() && !all[i]->isFloating() && all[i]->width() != barWidths_[i]) {
            docks << all[i];
            sizes << barWidths_[i];
        }
    }
    if (!docks.isEmpty())
        resizeDocks(docks, sizes, Qt::Horizontal);
}

bool CMainFrame::event(QEvent* event) {
    const bool result = QMainWindow::event(event);
    // A release on the frame itself ends a drag of a bar's edge: those widths are the user's.
    if (event->type() == QEvent::MouseButtonRelease)
        rememberBarWidths();
    return result;
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    // A narrow window squeezes the bars; once the layout has settled, give them back their widths
    // as far as the new size allows (a window maximised late by the desktop starts narrow).
    if (!restorePending_) {
        restorePending_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                restorePending_ = false;
                restoreBarWidths();
            },
            Qt::QueuedConnection);
    }
}

std::array<int, 3> CMainFrame::currentBarWidths() const {
    std::array<int, 3> widths = barWidths_;
    const std::array<QDockWidget*, 3> all{projectBar_, areaBar_, analysisBar_};
    for (int i = 0; i < 3; ++i)
        if (all[i]->isVisible() && !all[i]->isFloating())
            widths[i] = all[i]->width();
    return widths;
}

} // namespace tavolin
