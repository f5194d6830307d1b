// tavolin-screenshots OUTPUT_FOLDER [FILE]: opens FILE in the real frame and writes PNGs of the
// main screen, the analysis screen, the menus and each dialog (run it under an X server).
#include "app/aboutdlg.h"
#include "app/dlgparam.h"
#include "app/mainframe.h"
#include "app/tavolinapp.h"
#include "views/dlgangle.h"
#include "views/dlgcarbon.h"
#include "views/dlgcombine.h"
#include "views/dlgfilter.h"
#include "views/dlgplane.h"
#include "views/docbridge.h"
#include "views/reboundgrid.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QTreeWidget>

#include <cstdio>

using namespace tavolin;

namespace {

void settle(int ms = 300) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool save(QWidget* w, const QDir& out, const QString& name) {
    settle();
    const bool ok = w->grab().save(out.filePath(name + QStringLiteral(".png")));
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(out.filePath(name + ".png")));
    return ok;
}

bool shotDialog(QDialog& d, const QDir& out, const QString& name) {
    d.show();
    const bool ok = save(&d, out, name);
    d.hide();
    return ok;
}

bool shotMenu(CMainFrame& frame, const char* name, const QDir& out) {
    QMenu* menu = frame.findChild<QMenu*>(QString::fromLatin1(name));
    if (!menu)
        return false;
    menu->popup(frame.mapToGlobal(QPoint(40, 40)));
    const bool ok = save(menu, out, QString::fromLatin1(name));
    menu->hide();
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    CTavolinApp::initApplication();
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER [FILE]\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());

    CTavolinApp tavolin;
    QStringList args{QStringLiteral("tavolin")};
    if (argc > 2)
        args << QString::fromLocal8Bit(argv[2]);
    tavolin.start(args);
    CMainFrame& frame = tavolin.frame();
    // Without a window manager "maximised" is only a wish: give the frame the screen.
    frame.setGeometry(frame.screen()->availableGeometry());
    settle(800);
    bool ok = save(&frame, out, QStringLiteral("main"));

    for (const char* m :
         {"menuFile", "menuView", "menuArea", "menuWave", "menuAnalysis", "menuHelp"})
        ok &= shotMenu(frame, m, out);

    {
        CDlgParam d(tavolin.doc(), &frame);
        ok &= shotDialog(d, out, QStringLiteral("dialog-param"));
    }
    {
        CAboutDlg d(&frame);
        ok &= shotDialog(d, out, QStringLiteral("dialog-about"));
    }
    {
        CDlgcombine d(&frame);
        if (argc > 2)
            d.addFiles({QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[2])});
        if (d.list()->topLevelItemCount() > 1)
            d.list()->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
        ok &= shotDialog(d, out, QStringLiteral("dialog-combine"));
    }
    if (tavolin.doc().isOpen()) {
        CDlgFilter d(tavolin.bridge(), &frame);
        ok &= shotDialog(d, out, QStringLiteral("dialog-filter"));
        d.reject();
        tavolin.doc().setModified(false);
    }
    {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Tavolin"),
                        QStringLiteral("数据已经修改，是否保存"),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, &frame);
        box.button(QMessageBox::Yes)->setText(QStringLiteral("是(&Y)"));
        box.button(QMessageBox::No)->setText(QStringLiteral("否(&N)"));
        box.button(QMessageBox::Cancel)->setText(QStringLiteral("取消"));
        box.show();
        ok &= save(&box, out, QStringLiteral("dialog-close-prompt"));
        box.hide();
    }

    if (QAction* a = frame.action(QStringLiteral("cmd32779")); a && tavolin.doc().isOpen()) {
        a->trigger();
        settle(500);
        ok &= save(&frame, out, QStringLiteral("analysis"));
        // The keyboard on the current area's angle selector, as after a Tab into the table.
        if (auto* grid = frame.findChild<ReboundGrid*>()) {
            frame.activateWindow();
            grid->setFocus(Qt::TabFocusReason);
            grid->goToCell(ReboundGrid::upperRow(tavolin.doc().currentAreaIndex()),
                           ReboundGrid::ColAngle);
            ok &= save(&frame, out, QStringLiteral("analysis-selector-focus"));
        }
        for (const char* m :
             {"menuAnaFile", "menuAnaOutput", "menuAnaTables", "menuAnaView", "menuAnaHelp"})
            ok &= shotMenu(frame, m, out);
        // The correction tables: CECS 02:2005 (7 rows) and TB 10426-2004 (31 rows).
        const CorrectionTables& tables = tavolin.doc().tables();
        for (int standard : {0, 1}) {
            const QString suffix = standard == 0 ? QStringLiteral("-cecs") : QStringLiteral("-tb");
            CDlgAngle angle(tables, standard, &frame);
            ok &= shotDialog(angle, out, QStringLiteral("dialog-angle") + suffix);
            CDlgPlane plane(tables, standard, &frame);
            ok &= shotDialog(plane, out, QStringLiteral("dialog-plane") + suffix);
            CDlgCarbon carbon(tables, standard, &frame);
            ok &= shotDialog(carbon, out, QStringLiteral("dialog-carbon") + suffix);
        }
        frame.action(QStringLiteral("cmd32796"))->trigger();
        settle();
    }
    // Last, as it changes the picks: the main screen after "自动判读全部", with the suggestions
    // and the points left for a human marked in their panes.
    if (QAction* a = frame.action(QStringLiteral("cmd32862")); a && tavolin.doc().isOpen()) {
        a->trigger();
        settle(500);
        ok &= save(&frame, out, QStringLiteral("main-autopick"));
    }
    tavolin.doc().setModified(false);
    return ok ? 0 : 1;
}
