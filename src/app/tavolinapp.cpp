// Start-up: application identity, fonts, settings file, frame; shut-down writes the settings.
#include "app/tavolinapp.h"

#include "app/mainframe.h"
#include "app/recoverykeeper.h"
#include "app/toolicons.h"
#include "views/docbridge.h"

#include "tavolinversion.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
#include <QTranslator>

namespace tavolin {

QString CTavolinApp::configDir() {
    const QString overridden = qEnvironmentVariable("TAVOLIN_CONFIG_DIR");
    if (!overridden.isEmpty())
        return overridden;
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}

QString CTavolinApp::settingsPath() {
    return configDir() + QStringLiteral("/tavolin.ini");
}

void CTavolinApp::installFontSubstitutions() {
    const QStringList families = QFontDatabase::families();
    auto firstInstalled = [&families](const QStringList& candidates) {
        QStringList found;
        for (const QString& c : candidates)
            if (families.contains(c, Qt::CaseInsensitive))
                found << c;
        return found;
    };
    const QStringList serifCjk =
        firstInstalled({QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")});
    const QStringList sansCjk =
        firstInstalled({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Serif CJK SC")});
    const QStringList serifLatin =
        firstInstalled({QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")});
    const QStringList sansLatin =
        firstInstalled({QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    // Latin text in a CJK face keeps the CJK font's own Latin glyphs; CJK text in a Latin face
    // falls back to the CJK font.
    const std::pair<const char*, QStringList> table[] = {
        {"宋体", serifCjk + serifLatin},        {"仿宋_GB2312", serifCjk + serifLatin},
        {"楷体_GB2312", serifCjk + serifLatin}, {"隶书", serifCjk + serifLatin},
        {"黑体", sansCjk + sansLatin},          {"Times New Roman", serifLatin + serifCjk},
        {"Arial", sansLatin + sansCjk},         {"MS Shell Dlg", sansLatin + sansCjk},
    };
    for (const auto& [family, substitutes] : table)
        if (!substitutes.isEmpty())
            QFont::insertSubstitutions(QString::fromUtf8(family), substitutes);
}

void CTavolinApp::initApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("tavolin"));
    QCoreApplication::setApplicationVersion(QLatin1String(kVersion));
    // Wayland finds the window's icon and name through the installed desktop entry.
    QGuiApplication::setDesktopFileName(QLatin1String(kDesktopId));
    // No display name: the platform would append it to every window title, and the titles
    // are the program's own exact texts.
    QGuiApplication::setWindowIcon(programIcon());
    installFontSubstitutions();
    installChinese();
}

void CTavolinApp::installChinese() {
    // Dates, month and day names in the interface (the calendars of the date pickers) are
    // Chinese whatever the desktop's language.
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    QLocale::setDefault(chinese);
    // Qt's own dialogs (file, print, print preview) and the texts of its standard widgets.
    static QTranslator* translator = nullptr;
    if (translator)
        return;
    translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(chinese, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
}

CTavolinApp::CTavolinApp() : doc_(std::make_unique<CTavolinDoc>()) {
    // A missing or unreadable settings file leaves the built-in values.
    doc_->loadSettings(pathFromQ(settingsPath()));
    bridge_ = std::make_unique<DocBridge>(*doc_);
    recent_ = std::make_unique<QSettings>(configDir() + QStringLiteral("/recent.ini"),
                                          QSettings::IniFormat);
    frame_ = std::make_unique<CMainFrame>(*bridge_, *recent_);
    recovery_ = std::make_unique<RecoveryKeeper>(*doc_);
}

CTavolinApp::~CTavolinApp() {
    frame_.reset();
    // A clean close: this run's snapshot goes.
    recovery_.reset();
    QDir().mkpath(configDir());
    doc_->storeSettings(pathFromQ(settingsPath()));
    bridge_.reset();
}

void CTavolinApp::start(const QStringList& arguments) {
    frame_->showMaximized();
    // The bars get their stored widths once the maximised layout exists.
    QTimer::singleShot(0, frame_.get(), [this] { frame_->applyBarWidths(doc_->barWidths()); });
    for (const QString& arg : arguments.mid(1)) {
        if (!arg.startsWith(QLatin1Char('-'))) {
            frame_->openFile(QFileInfo(arg).absoluteFilePath());
            break;
        }
    }
    QTimer::singleShot(0, frame_.get(), [this] { offerRecovery(); });
}

void CTavolinApp::offerRecovery() {
    if (tavolin::offerRecovery(*recovery_, *doc_, frame_.get(),
                               [this] { return frame_->maybeSave(); }))
        frame_->jobReplacedBy(pathToQ(doc_->path()));
}

} // namespace tavolin
