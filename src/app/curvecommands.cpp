// "钻芯修正": the dialog, then one document edit; the analysis screen shows the new strengths.
#include "app/curvecommands.h"

#include "app/mainframe.h"
#include "app/tavolinapp.h"
#include "data/doc.h"
#include "views/dlgcores.h"
#include "views/dlgcurves.h"
#include "views/dlgfitcurve.h"
#include "views/qtext.h"

#include <QMessageBox>

namespace tavolin {

void coreCorrectionCommand(CMainFrame& frame) {
    CTavolinDoc& doc = frame.doc();
    if (!doc.isOpen())
        return;
    CDlgCores dialog(doc, &frame);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (const std::u16string error = doc.applyCores(dialog.specimens()); !error.empty()) {
        QMessageBox::warning(&frame, QStringLiteral("钻芯修正"), toQ(error));
        return;
    }
    if (frame.activeInterface() == CMainFrame::AnalysisInterface)
        frame.analysisRefresh();
}

namespace {

std::string libraryPath() {
    return (CTavolinApp::configDir() + QStringLiteral("/curves.json")).toStdString();
}

} // namespace

void curveLibraryCommand(CMainFrame& frame) {
    CTavolinDoc& doc = frame.doc();
    CDlgCurves dialog(doc.curveLibrary(), &frame);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (const std::u16string error = writeCurveLibrary(libraryPath(), dialog.library());
        !error.empty()) {
        QMessageBox::warning(&frame, QStringLiteral("测强曲线库"), toQ(error));
        return;
    }
    doc.setCurveLibrary(dialog.library());
    if (frame.activeInterface() == CMainFrame::AnalysisInterface)
        frame.analysisRefresh();
}

void fitCurveCommand(CMainFrame& frame) {
    CTavolinDoc& doc = frame.doc();
    CDlgFitCurve dialog(
        [&doc](const NamedCurve& curve) {
            CurveLibrary library = doc.curveLibrary();
            std::u16string error = addCurve(library, curve);
            if (error.empty())
                error = writeCurveLibrary(libraryPath(), library);
            if (error.empty())
                doc.setCurveLibrary(library);
            return error;
        },
        &frame);
    dialog.exec();
    if (frame.activeInterface() == CMainFrame::AnalysisInterface)
        frame.analysisRefresh();
}

} // namespace tavolin
