// CMainFrame: the main window with its two interfaces, menus, toolbars, bars and commands.
// Its parts live in files of their own: the command table (commands.cpp), the recently-used list
// (recentfiles.cpp), menus, toolbars, bars and the interface switch (barlayout.cpp) and the
// commands of the analysis interface (analysiscommands.cpp).
#pragma once

#include "app/commands.h"
#include "app/helpdlg.h"
#include "data/doc.h"

#include <QMainWindow>
#include <QStringList>

#include <array>

class QAction;
class QDockWidget;
class QLabel;
class QMenu;
class QSettings;
class QSplitter;
class QStackedWidget;
class QToolBar;

namespace tavolin {

class DocBridge;
class RecentFiles;
class CMainForm;
class MainFormRight;
class CTavolinView;
class CAnalysisView;
class CAnalysisDownTView;
class FormviewAna;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    enum Interface { MainInterface, AnalysisInterface };

    // `recentStore` keeps the recently-used list; the frame does not own it.
    CMainFrame(DocBridge& bridge, QSettings& recentStore, QWidget* parent = nullptr);
    ~CMainFrame() override;

    CTavolinDoc& doc();
    const CTavolinDoc& doc() const;
    DocBridge& bridge() { return bridge_; }
    Interface activeInterface() const { return interface_; }
    QAction* action(const QString& objectName) const;
    QAction* action(Command command) const { return actions_[size_t(command)]; }
    QDockWidget* projectBar() const { return projectBar_; }
    QDockWidget* areaBar() const { return areaBar_; }
    QDockWidget* analysisBar() const { return analysisBar_; }
    QToolBar* mainToolBar() const { return mainToolBar_; }
    QToolBar* analysisToolBar() const { return analysisToolBar_; }
    QStringList recentFiles() const;
    // Widths of the three bars as they are now (hidden bars: as they were last shown).
    std::array<int, 3> currentBarWidths() const;
    // The widths the bars are kept at: the last the user dragged them to, else the settings'.
    const std::array<int, 3>& barWidths() const { return barWidths_; }
    // Gives the three bars the widths of the settings (absurd values are clamped).
    void applyBarWidths(const std::array<int, 3>& widths);
    static int clampBarWidth(int width);

    // The flags of the toolbars and bars (shown in their interface or not).
    bool toolBarFlag() const { return toolBarVisible_; }
    bool projectBarFlag() const { return projectBarVisible_; }
    bool areaBarFlag() const { return areaBarVisible_; }
    bool analysisBarFlag() const { return analysisBarVisible_; }

    // For the command handlers.
    CAnalysisView* analysisView() const { return analysisView_; }
    CAnalysisDownTView* analysisDownView() const { return analysisDownView_; }
    FormviewAna* formviewAna() const { return formviewAna_; }
    // Hides the one interface's splitter, menus, toolbar and bars and shows the other's.
    void showInterface(Interface which);
    // Refreshes the active interface after its job changed as a whole.
    void refreshActiveInterface();
    void navigationRefresh();
    void analysisRefresh();
    // A file became the open job (opened or written and reopened): title, lists, commands.
    void jobReplacedBy(const QString& path);
    void cyclePane(int step);

public slots:
    // Open with the unsaved-changes prompt; false when cancelled or the file could not be read.
    bool openFile(const QString& path);
    // Asks "数据已经修改，是否保存" when modified; false means: do not go on.
    bool maybeSave();

    void updateActions();
    void onFileNew();
    void onFileOpen();
    void onFileSave();
    void onFileSaveAs();
    void onMerge();
    void onTestParameters();
    void onPreviousArea();
    void onNextArea();
    void onFilter();
    void onAbout();
    void onHelp(CHelpDlg::Page page);
    void onToggleToolBar();
    void onToggleProjectBar();
    void onToggleAreaBar();
    void onToggleAnalysisBar();
    void onPrintPane();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildActions();
    void buildMenus();
    void buildToolBars();
    void buildBars();
    void buildInterfaces();
    void rememberBarWidths();
    void restoreBarWidths();
    bool saveWithDialog();
    bool openPath(const QString& path); // no prompt

    DocBridge& bridge_;
    QSettings& recentStore_;
    Interface interface_ = MainInterface;
    bool toolBarVisible_ = true;
    bool analysisBarVisible_ = true;
    bool projectBarVisible_ = true;
    bool areaBarVisible_ = true;
    bool viewsCreated_ = false;
    int activePane_ = 0;
    // The widths the user gave the bars (or the settings did); the layout comes back to them
    // whenever the window has room again.
    std::array<int, 3> barWidths_{220, 220, 220};
    bool restorePending_ = false;

    std::array<QAction*, size_t(Command::Count)> actions_{};
    QList<QMenu*> mainMenus_;
    QList<QMenu*> analysisMenus_;
    RecentFiles* recent_ = nullptr;
    QToolBar* mainToolBar_ = nullptr;
    QToolBar* analysisToolBar_ = nullptr;
    QLabel* readyLabel_ = nullptr;
    QLabel* reviewLabel_ = nullptr;
    QDockWidget* projectBar_ = nullptr;
    QDockWidget* areaBar_ = nullptr;
    QDockWidget* analysisBar_ = nullptr;
    QStackedWidget* stack_ = nullptr;
    QSplitter* mainSplitter_ = nullptr;
    QSplitter* analysisSplitter_ = nullptr;

    CMainForm* mainForm_ = nullptr;
    MainFormRight* mainFormRight_ = nullptr;
    std::array<CTavolinView*, 3> panes_{};
    std::array<QWidget*, 3> paneWidgets_{};
    CAnalysisView* analysisView_ = nullptr;
    CAnalysisDownTView* analysisDownView_ = nullptr;
    FormviewAna* formviewAna_ = nullptr;
};

} // namespace tavolin
