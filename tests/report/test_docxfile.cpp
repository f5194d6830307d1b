// The .docx writer: merged tables read back from the XML equal the model, under the rules that
// keep them intact in Word, WPS and LibreOffice; the package parts are complete.
#include "officefiles.h"
#include "officejob.h"
#include "report/docxfile.h"
#include "report/officelayout.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <numeric>

using namespace tavolin::report;
using namespace officetest;

namespace {

OfficeTable mergedModel() {
    OfficeTable t;
    t.title = QStringLiteral("合并 表");
    t.titlePointSize = 16;
    t.textPointSize = 11; // no style of its own: formatted cell by cell
    t.rows = 6;
    t.columns = 5;
    t.columnWeights = {1, 2, 1, 1, 4.0 / 3};
    t.put(0, 0, QStringLiteral("a b  c"), 1, 5);                   // whole row, inner spaces kept
    t.put(1, 0, QStringLiteral("两行\n第二行"), 3, 1);             // vertical
    t.put(1, 1, QStringLiteral("块"), 2, 3);                       // a block of 2 × 3
    t.put(1, 4, QStringLiteral(" x ") + QChar(1) + QChar(0xD800)); // unwritable characters
    t.put(3, 1, QString(), 3, 1);                                  // empty, merged
    t.put(4, 2, QStringLiteral("尾"), 2, 3);
    return t;
}

// What the XML of the file can hold of a text: no control characters or lone surrogates.
OfficeTable withXmlSafeTexts(OfficeTable t) {
    for (auto& c : t.cells)
        c.text.remove(QChar(1)).remove(QChar(0xD800));
    return t;
}

bool parsesAsXml(const QByteArray& bytes) {
    QXmlStreamReader r(bytes);
    while (!r.atEnd())
        r.readNext();
    return !r.hasError() && !bytes.isEmpty();
}

} // namespace

TEST(DocxFile, MergedTablesReadBackAsTheModel) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("表格.docx"));
    const officetest::Reported job(makeJob({3}));
    const OfficeTable models[] = {mergedModel(), fieldRecordTable(job.source(), 0, 0, 10, true)};
    DocxPage page;
    page.fontFamily = QStringLiteral("宋体");
    page.textPointSizes = {9};
    ASSERT_EQ(writeDocx(path, page, 2, [&](int i) { return models[i]; }), QString());

    const std::vector<ReadTable> tables = readTables(zipPart(path, "word/document.xml"));
    ASSERT_EQ(tables.size(), 2u);
    const int width = page.width - page.marginLeft - page.marginRight;
    for (size_t i = 0; i < 2; ++i) {
        const ReadTable& t = tables[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(t.cells, spanCells(withXmlSafeTexts(models[i])));
        EXPECT_EQ(t.title, models[i].title);
        EXPECT_EQ(t.breakBeforeTitle, i > 0); // a page break between tables, none before
        EXPECT_EQ(t.titleSize, "32");
        EXPECT_TRUE(t.titleBold);
        EXPECT_EQ(t.textSize, i == 0 ? "22" : "");
        EXPECT_EQ(t.textStyle, i == 0 ? "" : "TableText18");
        EXPECT_TRUE(t.fixedLayout);
        EXPECT_EQ(t.width, width);
        EXPECT_EQ(std::accumulate(t.grid.begin(), t.grid.end(), 0), width);
        EXPECT_EQ(t.grid.size(), static_cast<size_t>(models[i].columns));
        EXPECT_EQ(t.cellWidthMismatches, 0);
        EXPECT_EQ(t.cellsNotEndingInParagraph, 0);
        EXPECT_EQ(t.badContinuations, 0);
    }
    // Widths follow the weights: 1 : 2 : 1 : 1 : 4/3 of the page width.
    EXPECT_NEAR(tables[0].grid[1], 2 * tables[0].grid[0], 1);
    EXPECT_NEAR(tables[0].grid[4], tables[0].grid[0] * 4 / 3, 1);

    // Every part the package names is there and is XML; the fonts are East Asian too.
    for (const char* part :
         {"[Content_Types].xml", "_rels/.rels", "word/_rels/document.xml.rels", "word/styles.xml",
          "word/settings.xml", "word/fontTable.xml", "docProps/core.xml", "docProps/app.xml"})
        EXPECT_TRUE(parsesAsXml(zipPart(path, part))) << part;
    const QString styles = QString::fromUtf8(zipPart(path, "word/styles.xml"));
    EXPECT_TRUE(styles.contains(QStringLiteral("w:eastAsia=\"宋体\""))) << styles.toStdString();
    EXPECT_TRUE(styles.contains(QStringLiteral("w:ascii=\"宋体\"")));
    EXPECT_TRUE(styles.contains(QStringLiteral(
        "w:styleId=\"TableText18\"><w:name w:val=\"Table Text 9\"/><w:basedOn w:val=\"Normal\"/>"
        "<w:qFormat/><w:pPr><w:jc w:val=\"center\"/></w:pPr><w:rPr><w:sz w:val=\"18\"/>")))
        << styles.toStdString();
    // Exactly our files: nothing left beside the document.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("表格.docx")});
}

TEST(DocxFile, AnInconsistentModelWritesNothing) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.docx"));
    OfficeTable t = mergedModel();
    t.put(2, 2, QStringLiteral("overlaps the block"));
    const QString message = writeDocx(path, DocxPage{}, 1, [&](int) { return t; });
    EXPECT_TRUE(message.contains(QStringLiteral("重叠"))) << message.toStdString();
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}
