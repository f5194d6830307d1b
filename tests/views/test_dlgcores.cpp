// The "钻芯修正" dialog: rows from the job's specimens, fcu,i^c and the ratio of each row and eta
// following typed strengths, and too few specimens stated in place of eta.
#include "support/files.h"
#include "support/jobbuilder.h"
#include "support/typing.h"

#include "data/datafile.h"
#include "data/doc.h"
#include "views/dlgcores.h"
#include "views/dlgcurves.h"
#include "views/dlgfitcurve.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include <cmath>

using namespace tavolin;
using namespace tavolin::testing;

namespace {

// A cell typed as a user does: a click selects it, F2 opens its editor, which takes the keys;
// Enter commits them.
void typeIntoCell(QTableWidget* t, int row, int column, const QString& text) {
    t->scrollToItem(t->item(row, column));
    QTest::mouseClick(t->viewport(), Qt::LeftButton, {},
                      t->visualItemRect(t->item(row, column)).center());
    if (!focusReached(t, "a click"))
        return;
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
    // The editor, inside the table, has the focus now.
    if (QApplication::focusWidget() == t)
        return QTest::qFail("F2 opened no editor", __FILE__, __LINE__);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    typeKeys(text + u'\n', t);
    QCoreApplication::processEvents();
}

} // namespace

namespace {

// Area k of each member reads same(30 + k) at va = 4 km/s: CECS 02:2005 crushed stone, eta 1.
double crushedAt(double r) {
    return 0.0162 * std::pow(4.0, 1.656) * std::pow(r, 1.41);
}

QString fixed(double v, int decimals) {
    return QString::number(v, 'f', decimals);
}

} // namespace

class TestDlgCores : public QObject {
    Q_OBJECT
private slots:
    void ratiosAndEtaFollowTheTypedStrength() {
        ScratchDir dir;
        const std::string path = dir.path("job.SHA");
        QCOMPARE(WriteResultFile(path, JobBuilder().members(2, 3).build()), std::u16string());
        CTavolinDoc doc;
        QCOMPARE(doc.open(path), std::u16string());
        const std::vector<Specimen> four = {{0, 0, SpecimenCore, 30.0f},
                                            {0, 1, SpecimenCore, 31.0f},
                                            {1, 0, SpecimenCube, 30.0f},
                                            {1, 2, SpecimenCore, 33.0f}};
        QCOMPARE(doc.applyCores(four), std::u16string());

        CDlgCores dlg(doc);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QTableWidget* t = dlg.table();
        QCOMPARE(t->rowCount(), 4);
        const double fcu[4] = {crushedAt(30), crushedAt(31), crushedAt(30), crushedAt(32)};
        for (int r = 0; r < 4; ++r) {
            QCOMPARE(t->item(r, 4)->text(), fixed(fcu[r], 1));
            QCOMPARE(t->item(r, 5)->text(), fixed(four[r].strength / fcu[r], 3));
        }

        // 33 -> 36 in the last row.
        typeIntoCell(t, 3, 3, QStringLiteral("36"));
        QCOMPARE(t->item(3, 3)->text(), QStringLiteral("36"));
        QCOMPARE(t->item(3, 5)->text(), fixed(36 / fcu[3], 3));
        double mean = 0;
        const double fcor[4] = {30, 31, 30, 36};
        for (int r = 0; r < 4; ++r)
            mean += fcor[r] / fcu[r] / 4;
        QCOMPARE(dlg.etaLabel()->text(),
                 QStringLiteral("η = %1（n = 4）").arg(fixed(std::round(mean * 100) / 100, 2)));

        t->setCurrentCell(0, 3);
        QTest::mouseClick(dlg.removeButton(), Qt::LeftButton);
        QCOMPARE(t->rowCount(), 3);
        QCOMPARE(dlg.etaLabel()->text(), QStringLiteral("试件只有 3 个，至少需要 4 个"));
        QCOMPARE(dlg.specimens().size(), size_t(3));
        QCOMPARE(dlg.specimens()[2].strength, 36.0f);
        QCOMPARE(dlg.specimens()[1].kind, int(SpecimenCube));
    }

    // The library dialog: a typed row checked at once, import that keeps existing names, export.
    void curveLibraryRowsImportExport() {
        ScratchDir dir;
        CurveLibrary start;
        NamedCurve c;
        c.name = u"本地";
        c.a = 0.0143;
        c.b = 1.779;
        c.c = 1.387;
        c.ranges = {{3.5, 4.8}, {25, 45}};
        start.curves.push_back(c);
        CDlgCurves dlg(start);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QTableWidget* t = dlg.table();
        QCOMPARE(t->rowCount(), 1);
        QCOMPARE(t->item(0, 1)->text(), QStringLiteral("0.0143"));

        dlg.addRow();
        const char* typed[] = {"乙", "0.01", "1.6", "1.5", "3.6", "4.9", "20", "x"};
        for (int k = 0; k < 8; ++k)
            typeIntoCell(t, 1, k, QString::fromUtf8(typed[k]));
        CurveLibrary read;
        QCOMPARE(dlg.read(read), std::u16string(u"第 2 行：R上限 不是有效的数值"));
        typeIntoCell(t, 1, 7, QStringLiteral("50"));
        typeIntoCell(t, 1, 0, QStringLiteral("本地"));
        QCOMPARE(dlg.read(read), std::u16string(u"第 2 行：曲线库中已有名为“本地”的曲线"));
        typeIntoCell(t, 1, 0, QStringLiteral("乙"));
        QCOMPARE(dlg.read(read), std::u16string());
        QCOMPARE(read.curves.size(), size_t(2));
        QCOMPARE(read.curves[1].ranges.r[1], 50.0);

        const std::string shared = dir.path("shared.json");
        QCOMPARE(dlg.exportFile(shared), std::u16string());
        CurveLibrary other;
        c.name = u"丙";
        other.curves = {read.curves[1], c};
        QCOMPARE(writeCurveLibrary(dir.path("other.json"), other), std::u16string());
        QCOMPARE(dlg.importFile(dir.path("other.json")),
                 std::u16string(u"已有同名曲线，未导入：乙"));
        QCOMPARE(t->rowCount(), 3);
        QCOMPARE(t->item(2, 0)->text(), QStringLiteral("丙"));
        CurveLibrary back;
        QCOMPARE(readCurveLibrary(shared, back, false), std::u16string());
        QCOMPARE(curveLibraryText(back), curveLibraryText(read));
    }

    // The fit dialog: pasted rows on a known curve give it back; a bad cell is named by its row.
    void fitDialogGivesBackAKnownCurve() {
        std::vector<NamedCurve> added;
        CDlgFitCurve dlg([&added](const NamedCurve& c) {
            added.push_back(c);
            return std::u16string();
        });
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        std::string text;
        for (double v : {3.6, 4.0, 4.4, 4.8})
            for (double R : {26.0, 33.0, 40.0, 47.0}) {
                char line[96];
                std::snprintf(line, sizeof line, "%.1f\t%.1f\t%.17g\n", v, R,
                              0.0081 * std::pow(v, 1.72) * std::pow(R, 1.57));
                text += line;
            }
        QCOMPARE(dlg.setSpecimenText(text), std::u16string());
        QVERIFY(dlg.fit().has_value());
        QCOMPARE(dlg.fit()->n, 16);
        QVERIFY(std::fabs(dlg.fit()->a / 0.0081 - 1) < 1e-9);
        QVERIFY(std::fabs(dlg.fit()->b - 1.72) < 1e-9);
        QVERIFY(std::fabs(dlg.fit()->c - 1.57) < 1e-9);
        QVERIFY(dlg.resultLabel()->text().startsWith(
            QStringLiteral("n = 16\na = 0.0081   b = 1.7200   c = 1.5700\nδ = 0.00%")));

        dlg.nameEdit()->setText(QStringLiteral("拟合"));
        QTest::mouseClick(dlg.addButton(), Qt::LeftButton);
        QCOMPARE(added.size(), size_t(1));
        QCOMPARE(added[0].name, std::u16string(u"拟合"));
        QCOMPARE(added[0].ranges.v, (std::array<double, 2>{3.6, 4.8}));

        typeIntoCell(dlg.table(), 2, 1, QStringLiteral("0"));
        QCOMPARE(dlg.resultLabel()->text(), QStringLiteral("第 3 行：回弹值 R 应大于 0：0"));
        QVERIFY(!dlg.addButton()->isEnabled());
    }
};

QTEST_MAIN(TestDlgCores)
#include "test_dlgcores.moc"
