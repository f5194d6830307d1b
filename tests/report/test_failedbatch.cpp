// A job whose batch must be assessed member by member, as printed in the PDF and written to Word:
// each member's own estimate appears, the batch row says it is the batch's and gives the rule,
// and nothing says "below 10".
#include "officefiles.h"
#include "officejob.h"

#include "calc/algorithm.h"
#include "calc/correctiontables.h"
#include "data/evaluation.h"
#include "report/officeexport.h"
#include "report/reportoutput.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tavolin;
using namespace tavolin::report;

namespace {

QString withoutSpaces(QString s) {
    s.remove(QRegularExpression(QStringLiteral("\\s")));
    return s;
}

// Two members under TB 10426-2004 with the strengths below, evaluated as the analysis form does.
officetest::Reported failedBatch() {
    officetest::Reported r(officetest::makeJob({3, 2}));
    const float strengths[2][3] = {{20.0f, 30.0f, 12.0f}, {15.0f, 25.0f, 0.0f}};
    for (int m = 0; m < 2; ++m)
        for (std::size_t k = 0; k < r.job.areas[m].size(); ++k)
            r.job.areas[m][k].FCUI = strengths[m][k];
    r.job.members[1].PILEID = u"2层柱KZ3";
    r.standard = 1;
    CorrectionTables tables;
    Algorithm_TB10426_2004 tb(tables);
    r.evaluation.members = {evaluateMember(r.job.areas[0], tb), evaluateMember(r.job.areas[1], tb)};
    r.evaluation.batch = evaluateBatch(r.job.areas, tb);
    return r;
}

// By hand (standard deviations with n − 1):
// member 1: 20, 30, 12: n 3, mean 20.67, sd √(162.67 / 2) = 9.02, estimate the smallest, 12.0;
// member 2: 15, 25: n 2, mean 20.0, sd √50 = 7.07, estimate 15.0;
// batch: mean 20.4, sd √(213.2 / 4) = 7.30: below 25 with a spread above 4.5, so re-test.
const char16_t* const kExpected[] = {
    u"本构件推定值(Mpa)测区数n=3",
    u"Mf=20.7Mpa",
    u"Sf=9.02Mpa",
    u"fcue=12.0Mpa",
    u"本构件推定值(Mpa)测区数n=2",
    u"Mf=20.0Mpa",
    u"Sf=7.07Mpa",
    u"fcue=15.0Mpa",
    u"批推定值(Mpa)构件数N=2",
    u"Mf=20.4Mpa",
    u"Sf=7.30Mpa",
    u"平均值<25.0且标准差>4.5、平均值>25.0且标准差>5.5,该批构件应全部重新按单个构件检测"};

void expectEstimatesIn(const QString& text) {
    QString rest = withoutSpaces(text);
    for (const char16_t* expected : kExpected) {
        // In this order: each member's row on its own table, the batch's on the last.
        const qsizetype at = rest.indexOf(QString::fromUtf16(expected));
        EXPECT_GE(at, 0) << QString::fromUtf16(expected).toStdString();
        if (at >= 0)
            rest = rest.mid(at);
    }
    EXPECT_FALSE(text.contains(QStringLiteral("10 Mpa")));
    EXPECT_FALSE(text.contains(QStringLiteral("<10")));
}

} // namespace

TEST(FailedBatch, PdfPrintsEachMembersEstimateAndTheRule) {
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    ASSERT_FALSE(pdftotext.isEmpty()) << "pdftotext missing: tools/install-deps.sh installs it";
    officetest::Reported r = failedBatch();
    r.print.printFieldRecord = 0;
    QTemporaryDir dir;
    const std::string pdf = dir.filePath(QStringLiteral("结果.pdf")).toStdString();
    ASSERT_EQ(writePdf(pdf, r.source()), u"");
    QProcess p;
    p.start(pdftotext, {QStringLiteral("-raw"), QString::fromStdString(pdf), QStringLiteral("-")});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    expectEstimatesIn(text);
    EXPECT_TRUE(text.contains(QStringLiteral("2层柱KZ3")));
}

TEST(FailedBatch, WordTablesHoldEachMembersEstimateAndTheRule) {
    officetest::Reported r = failedBatch();
    r.print.printFieldRecord = 0;
    QTemporaryDir dir;
    const QString docx = dir.filePath(QStringLiteral("结果.docx"));
    ASSERT_EQ(exportWord(docx, r.source()), QString());
    const auto tables = officetest::readTables(officetest::zipPart(docx, "word/document.xml"));
    ASSERT_EQ(tables.size(), 2u);
    QString cells;
    for (const auto& table : tables)
        for (const auto& cell : table.cells)
            cells += std::get<4>(cell) + u'|';
    expectEstimatesIn(cells);
}
