// A real office program reads our files: LibreOffice converts the .docx to flat ODF and the .xlsx
// to CSV, and what it read has every cell, text and merge of the layouts.
#include "officefiles.h"
#include "officejob.h"
#include "report/officeexport.h"
#include "report/officelayout.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace tavolin;
using namespace tavolin::report;
using officetest::SpanCell;

namespace {

struct Converted {
    std::vector<std::vector<SpanCell>> tables;
    std::vector<QString> titles;
    std::vector<bool> titleBreaks;
    std::set<QString> fontFaces;
};

// Paragraph text as ODF holds it: spans, runs of spaces and line breaks.
void readText(QXmlStreamReader& r, QString& out) {
    int depth = 1;
    while (depth > 0 && !r.atEnd()) {
        r.readNext();
        if (r.isStartElement()) {
            ++depth;
            if (r.qualifiedName() == u"text:s")
                out +=
                    QString(std::max(1, r.attributes().value("text:c").toInt()), QLatin1Char(' '));
            else if (r.qualifiedName() == u"text:line-break")
                out += QLatin1Char('\n');
            else if (r.qualifiedName() == u"text:tab")
                out += QLatin1Char('\t');
        } else if (r.isEndElement()) {
            --depth;
        } else if (r.isCharacters()) {
            out += r.text();
        }
    }
}

Converted readFlatOdt(const QByteArray& xml) {
    Converted out;
    std::set<QString> breakStyles;
    QXmlStreamReader r(xml);
    int tableDepth = 0;
    int row = -1, column = 0;
    std::map<int, int> coveredBelow; // column -> rows still covered by a cell above
    QString lastTitle;
    bool lastTitleBreaks = false;
    QString styleName;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isEndElement() && r.qualifiedName() == u"table:table")
            --tableDepth;
        if (!r.isStartElement())
            continue;
        const QStringView name = r.qualifiedName();
        const auto a = r.attributes();
        if (name == u"style:font-face") {
            out.fontFaces.insert(a.value("style:name").toString());
        } else if (name == u"style:style") {
            styleName = a.value("style:name").toString();
        } else if (name == u"style:paragraph-properties" && a.value("fo:break-before") == u"page") {
            breakStyles.insert(styleName);
        } else if (name == u"table:table") {
            if (tableDepth++ == 0) {
                out.tables.emplace_back();
                out.titles.push_back(lastTitle);
                out.titleBreaks.push_back(lastTitleBreaks);
                row = -1;
            }
        } else if (name == u"table:table-row") {
            ++row;
            column = 0;
        } else if (name == u"table:table-cell") {
            const int rows = std::max(1, a.value("table:number-rows-spanned").toInt());
            const int columns = std::max(1, a.value("table:number-columns-spanned").toInt());
            QString text;
            bool firstParagraph = true;
            while (!(r.isEndElement() && r.qualifiedName() == u"table:table-cell") && !r.atEnd()) {
                r.readNext();
                if (r.isStartElement() && r.qualifiedName() == u"text:p") {
                    if (!firstParagraph)
                        text += QLatin1Char('\n');
                    firstParagraph = false;
                    readText(r, text);
                }
            }
            if (rows > 1 || columns > 1 || !text.isEmpty())
                out.tables.back().emplace_back(row, column, rows, columns, text);
            ++column; // the columns it spans follow as covered cells
        } else if (name == u"table:covered-table-cell") {
            ++column;
        } else if (name == u"text:p" && tableDepth == 0) {
            lastTitleBreaks = breakStyles.count(a.value("text:style-name").toString()) > 0;
            lastTitle.clear();
            readText(r, lastTitle);
        }
    }
    for (auto& t : out.tables)
        std::sort(t.begin(), t.end());
    return out;
}

std::vector<std::vector<QString>> readCsv(const QByteArray& bytes) {
    std::vector<std::vector<QString>> rows;
    for (const QString& line :
         QString::fromUtf8(bytes).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        std::vector<QString> cells;
        QString cell;
        bool quoted = false;
        for (qsizetype i = 0; i < line.size(); ++i) {
            const QChar c = line[i];
            if (quoted && c == u'"' && i + 1 < line.size() && line[i + 1] == u'"')
                cell += line[++i];
            else if (c == u'"')
                quoted = !quoted;
            else if (c == u',' && !quoted)
                cells.push_back(std::exchange(cell, QString()));
            else if (c != u'\r')
                cell += c;
        }
        cells.push_back(cell);
        rows.push_back(cells);
    }
    return rows;
}

class LibreOffice {
public:
    LibreOffice() : program_(QStandardPaths::findExecutable(QStringLiteral("soffice"))) {}
    bool found() const { return !program_.isEmpty(); }

    // Converts `file` into `dir` with the filter; the converted file's bytes.
    QByteArray convert(const QString& file, const QString& filter, const QString& extension) {
        const QString converted =
            out_.filePath(QFileInfo(file).completeBaseName() + QLatin1Char('.') + extension);
        QString output;
        // A first start on a fresh profile may end early to restart itself: a second try.
        for (int attempt = 0; attempt < 2 && !QFileInfo::exists(converted); ++attempt) {
            QProcess p;
            p.setProcessChannelMode(QProcess::MergedChannels);
            p.start(program_, {QStringLiteral("-env:UserInstallation=") +
                                   QUrl::fromLocalFile(profile_.path()).toString(),
                               QStringLiteral("--headless"), QStringLiteral("--norestore"),
                               QStringLiteral("--convert-to"), filter, QStringLiteral("--outdir"),
                               out_.path(), file});
            if (!p.waitForFinished(180000)) {
                p.kill();
                p.waitForFinished();
            }
            output += QString::fromLocal8Bit(p.readAll());
        }
        QFile f(converted);
        if (!f.open(QIODevice::ReadOnly))
            ADD_FAILURE() << "LibreOffice did not convert " << file.toStdString() << ": "
                          << output.toStdString();
        return f.readAll();
    }

private:
    QString program_;
    QTemporaryDir profile_; // a profile of its own: no user settings, no lock with a running one
    QTemporaryDir out_;
};

} // namespace

TEST(LibreOffice, ReadsEveryCellAndMergeOfBothFiles) {
    LibreOffice office;
    if (!office.found())
        GTEST_SKIP() << "soffice not installed (tools/install-deps.sh installs it)";
    officetest::Reported reported(officetest::makeJob({3, 12}));
    JobData& job = reported.job;
    job.areas[1][11].FCUI = 70.05f;
    reported.evaluation.members[0] = {3, 30.0f, 32.0f, 31.0f, 1.0f, 30.0f, Valid};
    reported.evaluation.members[1] = {12, 30.0f, 70.05f, 35.5f, 3.6f, 29.6f, Valid};
    reported.evaluation.batch = {30.25f, 3.5f, 71.5f, Above70};
    ReportInfo& info = reported.info;
    info.projectName = u"滨江  花园";
    info.instrumentModel = u"VEK-M5";
    info.instrumentNo = u"0815";
    info.checkerName = u"张三";
    info.resultTableRemark = u"无";

    QTemporaryDir dir;
    const QString docx = dir.filePath(QStringLiteral("报告.docx"));
    const QString xlsx = dir.filePath(QStringLiteral("结果.xlsx"));
    ASSERT_EQ(exportWord(docx, reported.source()), QString());
    ASSERT_EQ(exportExcel(xlsx, job), QString());

    const Converted read = readFlatOdt(office.convert(docx, QStringLiteral("fodt"), "fodt"));
    const std::vector<WordTableRef> plan = wordTablePlan(job, true, true);
    ASSERT_EQ(read.tables.size(), plan.size()); // 2 field record tables, 1 + 2 result tables
    for (size_t i = 0; i < plan.size(); ++i) {
        SCOPED_TRACE(i);
        const OfficeTable model = wordTable(reported.source(), plan[i]);
        EXPECT_EQ(read.tables[i], officetest::spanCells(model));
        EXPECT_EQ(read.titles[i], model.title);
        EXPECT_EQ(read.titleBreaks[i], i > 0);
    }
    EXPECT_TRUE(read.fontFaces.count(QStringLiteral("宋体")));

    // Every cell of the sheet as a text, the blocks one after the other.
    const auto csv = readCsv(
        office.convert(xlsx, QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76"), "csv"));
    SheetRows expected = excelRows(job);
    for (auto& row : expected)
        row.resize(10);
    EXPECT_EQ(csv, expected);
}
