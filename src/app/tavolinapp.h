// CTavolinApp: start-up and shut-down of the program around its one document and frame.
#pragma once

#include "data/doc.h"

#include <QString>
#include <QStringList>

#include <memory>

class QSettings;

namespace tavolin {

class CMainFrame;
class DocBridge;
class RecoveryKeeper;

class CTavolinApp {
public:
    // Reads the settings file into a fresh document and builds the frame (not yet shown).
    CTavolinApp();
    // Writes the settings file, as the document's end does.
    ~CTavolinApp();
    CTavolinApp(const CTavolinApp&) = delete;
    CTavolinApp& operator=(const CTavolinApp&) = delete;

    // Shows the frame maximised and opens the file named on the command line, if any.
    void start(const QStringList& arguments);

    CTavolinDoc& doc() { return *doc_; }
    DocBridge& bridge() { return *bridge_; }
    CMainFrame& frame() { return *frame_; }
    RecoveryKeeper& recovery() { return *recovery_; }
    // Offers the snapshots of unsaved work a crashed run left behind (start does it once the
    // window is shown).
    void offerRecovery();

    // Per-user configuration folder; TAVOLIN_CONFIG_DIR replaces it (tests, portable use).
    static QString configDir();
    static QString settingsPath(); // configDir() + "/tavolin.ini"
    // Maps the fonts the program names onto the CJK and Latin fonts that are installed.
    static void installFontSubstitutions();
    // Qt's translations and the locale of dates: Chinese (Debian's qt6-translations-l10n).
    static void installChinese();
    // Application name, icon, fonts and language; call once after the QApplication exists.
    static void initApplication();

private:
    std::unique_ptr<CTavolinDoc> doc_;
    std::unique_ptr<DocBridge> bridge_;
    std::unique_ptr<QSettings> recent_;
    std::unique_ptr<CMainFrame> frame_;
    std::unique_ptr<RecoveryKeeper> recovery_;
};

} // namespace tavolin
