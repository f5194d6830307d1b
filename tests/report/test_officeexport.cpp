// Writing the office files is all or nothing: a failure leaves a previous file as it was.
#include "officefiles.h"
#include "officejob.h"
#include "report/officeexport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using namespace tavolin;
using namespace tavolin::report;

namespace {

// Writes fail past `bytes`, as on a full disk, while this object lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
};

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(OfficeExport, AFailedWriteKeepsThePreviousFile) {
    const officetest::Reported reported(officetest::makeJob({40, 40}));
    const JobData& job = reported.job;
    QTemporaryDir dir;
    using Export = std::function<QString(const QString&)>;
    const std::pair<const char*, Export> writers[] = {
        {"old.docx", [&](const QString& p) { return exportWord(p, reported.source()); }},
        {"old.xlsx", [&](const QString& p) { return exportExcel(p, job); }},
    };
    for (const auto& [name, write] : writers) {
        SCOPED_TRACE(name);
        const QString path = dir.filePath(QString::fromLatin1(name));
        {
            QFile previous(path);
            ASSERT_TRUE(previous.open(QIODevice::WriteOnly));
            previous.write("previous contents");
        }
        QString message;
        {
            FileSizeLimit full(2048);
            message = write(path);
        }
        EXPECT_TRUE(message.contains(path)) << message.toStdString();
        EXPECT_EQ(contents(path), "previous contents");
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);

        // The same write without the limit replaces it with a whole package.
        ASSERT_EQ(write(path), QString());
        EXPECT_FALSE(officetest::zipPart(path, "[Content_Types].xml").isEmpty());
        QFile::remove(path);
    }

    // A folder that does not exist, and a folder in the target's place: the message only.
    const QString missing = dir.filePath(QStringLiteral("无此文件夹/报告.docx"));
    EXPECT_TRUE(exportWord(missing, reported.source()).contains(QStringLiteral("文件夹不存在")));
    EXPECT_FALSE(exportExcel(dir.path(), job).isEmpty());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST(OfficeExport, NeitherTableChosenWritesNothing) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("r.docx"));
    PrintSettings none;
    none.printFieldRecord = none.printResultTable = 0;
    officetest::Reported reported(officetest::makeJob({3}));
    reported.print = none;
    EXPECT_EQ(exportWord(path, reported.source()), noTableChosenMessage());
    EXPECT_FALSE(QFile::exists(path));
}

TEST(OfficeExport, SheetCellsAreTextsNineCharactersWide) {
    const officetest::Reported reported(officetest::makeJob({40, 40}));
    const JobData& job = reported.job;
    QTemporaryDir dir;
    // Every cell of the sheet is a text; every column is 9 characters wide.
    const QString path = dir.filePath(QStringLiteral("cells.xlsx"));
    ASSERT_EQ(exportExcel(path, job), QString());
    const QByteArray sheet = officetest::zipPart(path, "xl/worksheets/sheet1.xml");
    EXPECT_EQ(sheet.count("<c "), 2 * (1 + 10 + 40 * 10)); // title, head, areas
    EXPECT_EQ(sheet.count("<c "), sheet.count(" t=\"s\""));
    EXPECT_TRUE(sheet.contains("<col min=\"1\" max=\"16384\" width=\"9."))
        << sheet.left(600).toStdString();
}

// Characters XML cannot hold leave both files' texts alike: the sheet's shared strings as the
// document's cells.
TEST(OfficeExport, TextsXmlCannotHoldAreDropped) {
    officetest::Reported reported(officetest::makeJob({1}));
    reported.job.members[0].PILEID = std::u16string(u"梁") + char16_t(0xFFFE) + u"A" +
                                     char16_t(0xFFFF) + char16_t(0x0001) + u"B";
    QTemporaryDir dir;
    const QString xlsx = dir.filePath(QStringLiteral("c.xlsx"));
    const QString docx = dir.filePath(QStringLiteral("c.docx"));
    ASSERT_EQ(exportExcel(xlsx, reported.job), QString());
    ASSERT_EQ(exportWord(docx, reported.source()), QString());
    const QByteArray strings = officetest::zipPart(xlsx, "xl/sharedStrings.xml");
    EXPECT_TRUE(strings.contains(QStringLiteral("构件名称：梁AB<").toUtf8()))
        << strings.toStdString();
    EXPECT_TRUE(officetest::zipPart(docx, "word/document.xml").contains("梁AB<"));
    for (const char* bad : {"\xEF\xBF\xBE", "\xEF\xBF\xBF", "\x01", "_x0001_"})
        EXPECT_FALSE(strings.contains(bad)) << bad;
}

TEST(OfficeExport, WordPageIsPortraitA4WithTheMarginsOfThePrintSettings) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.docx"));
    officetest::Reported reported(officetest::makeJob({3}));
    PrintSettings& print = reported.print;
    print.marginTop = 21, print.marginLeft = 22, print.marginBottom = 23, print.marginRight = 24;
    ASSERT_EQ(exportWord(path, reported.source()), QString());
    const QByteArray xml = officetest::zipPart(path, "word/document.xml");
    // A4 is 210 × 297 mm: 11906 × 16838 twips (1440 per inch). Margins mm * 1440 / 25.4,
    // rounded: 21 -> 1190.55, 22 -> 1247.24, 23 -> 1303.94, 24 -> 1360.63.
    EXPECT_TRUE(xml.contains("<w:pgSz w:w=\"11906\" w:h=\"16838\"/>")) << xml.right(600).data();
    EXPECT_TRUE(xml.contains("<w:pgMar w:top=\"1191\" w:right=\"1361\" w:bottom=\"1304\" "
                             "w:left=\"1247\""))
        << xml.right(600).data();
}
