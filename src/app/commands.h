// The frame's commands: one enum value and one table row (text, shortcut, icon, tip, handler) each.
//
// To add a command: a value in `Command`, a row in the table of commands.cpp, its handler (a free
// function `void f(CMainFrame&)`, in a file of its own beside the others), and its place in a menu
// or toolbar in barlayout.cpp. The frame builds one QAction per row, named "cmd" + id (+ suffix),
// greys a row without a handler and asks `enabled` / `checked` of the row whenever the state of
// the commands is brought up to date.
#pragma once

#include <QKeyCombination>
#include <QString>

#include <span>

namespace tavolin {

class CMainFrame;

enum class Command {
    FileNew,
    FileOpen,
    FileOpenAnalysis,
    FileSave,
    FileSaveAnalysis,
    FileSaveShortcut,
    FileSaveAs,
    Merge,
    Exit,
    ExitAnalysis,
    TestParameters,
    PreviousArea,
    NextArea,
    ToggleToolBar,
    ToggleProjectBar,
    ToggleAreaBar,
    ToggleStatusBar,
    ShowAnalysis,
    Filter,
    About,
    SaveResult,
    PrintSetup,
    PrintPreview,
    Print,
    PdfExport,
    PrintPane,
    AngleTable,
    PlaneTable,
    CarbonTable,
    ShowMain,
    ToggleAnalysisBar,
    WordReport,
    BitmapExport,
    ExcelExport,
    HelpContents,
    HelpContact,
    HelpAbout,
    NextPane,
    PreviousPane,
    AutoPickArea,
    AutoPickMember,
    AutoPickAll,
    Undo,
    Redo,
    Count // not a command: the number of commands (menus use it as their separator)
};

struct CommandSpec {
    Command command;
    int id;               // the command's number: the action is named "cmd<id>" + suffix
    const char* suffix;   // "" or, for a second entry of one command, "_ana", "_view"
    const char16_t* text; // menu text
    const char* icon;     // toolbar image base name, or nullptr
    const char16_t* tip;  // tool tip and status tip, or nullptr
    QKeyCombination shortcut = QKeyCombination(Qt::Key_unknown); // works in the whole window
    void (*run)(CMainFrame&) = nullptr;                          // nullptr: greyed
    bool (*enabled)(const CMainFrame&) = nullptr;                // nullptr: always enabled
    bool (*checked)(const CMainFrame&) = nullptr;                // non-null: a check mark
};

// Every command, in the order of `Command`.
std::span<const CommandSpec> commandTable();
const CommandSpec& commandSpec(Command command);
// "cmd57601", "cmd32828_ana", …: the object name of the command's QAction.
QString commandObjectName(Command command);

} // namespace tavolin
