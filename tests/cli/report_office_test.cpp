// tavolin-cli report --docx / --xlsx: the Word tables chosen, the sheet of every area, failures.
#include "harness.h"

#include "data/settings.h"
#include "support/files.h"

#include <zip.h>

using namespace clitest;
using tavolin::testing::ScratchDir;

namespace {

const std::string kSample = TAVOLIN_SAMPLES "/sample-result.SHA";

std::string zipPart(const std::string& path, const char* name) {
    int error = 0;
    zip_t* zip = zip_open(path.c_str(), ZIP_RDONLY, &error);
    if (!zip)
        return {};
    std::string out;
    zip_stat_t st;
    if (zip_stat(zip, name, 0, &st) == 0)
        if (zip_file_t* f = zip_fopen(zip, name, 0)) {
            out.resize(st.size);
            if (zip_fread(f, out.data(), st.size) != static_cast<zip_int64_t>(st.size))
                out.clear();
            zip_fclose(f);
        }
    zip_close(zip);
    return out;
}

size_t count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

} // namespace

TEST(ReportOfficeCommand, WordTablesAndSheetFromTheSettingsAndTheStandard) {
    ScratchDir dir;
    tavolin::AppSettings settings;
    settings.print.printFieldRecord = 0; // overridden by --tables below
    settings.print.printResultTable = 0;
    settings.report.checkerName = u"李校核";
    settings.report.reviewerName = u"王复核";
    ASSERT_TRUE(tavolin::writeSettings(dir.path("t.ini"), settings));

    const std::string docx = dir.path("报告.docx");
    const std::string xlsx = dir.path("结果.xlsx");
    RunResult r = runCli({"report", kSample, "--docx", docx, "--xlsx", xlsx, "--tables",
                          "result,field", "--settings", dir.path("t.ini"), "--standard", "tb"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string document = zipPart(docx, "word/document.xml");
    // 3 members of 11 areas: 3 field record tables, then 2 result tables each.
    EXPECT_EQ(count(document, "<w:tbl>"), 9u);
    // Each report titled once, on its first table, as on the printed pages.
    EXPECT_EQ(count(document, "现场记录表"), 1u);
    EXPECT_EQ(count(document, "结果数据表"), 1u);
    EXPECT_LT(document.find("现场记录表"), document.find("结果数据表"));
    EXPECT_EQ(count(document, "李校核"), 3u);
    EXPECT_EQ(count(document, "王复核"), 1u);       // the last result table only
    EXPECT_EQ(count(document, "TB10426-2004"), 9u); // the heads name the standard evaluated with
    // Each member's own estimate on its last table, the batch's on the last of all.
    EXPECT_EQ(count(document, "本构件推定值(Mpa)"), 3u);
    EXPECT_EQ(count(document, "批推定值(Mpa)"), 1u);
    EXPECT_EQ(count(document, "构件数 N=3"), 1u);

    // Every area of every member, whatever tables are chosen: 3 × (2 + 11) rows.
    const std::string sheet = zipPart(xlsx, "xl/worksheets/sheet1.xml");
    EXPECT_EQ(count(sheet, "<row "), 39u);
    EXPECT_NE(zipPart(xlsx, "xl/sharedStrings.xml").find("fcui(MPa)"), std::string::npos);
}

TEST(ReportOfficeCommand, FailuresWriteNothing) {
    ScratchDir dir;
    tavolin::AppSettings none;
    none.print.printFieldRecord = none.print.printResultTable = 0;
    ASSERT_TRUE(tavolin::writeSettings(dir.path("none.ini"), none));
    const std::string missing = dir.path("无此文件夹/r.docx");
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string message;
    } cases[] = {
        {{"report", kSample, "--docx", missing}, 1, "无法写入文件“" + missing + "”：文件夹不存在"},
        {{"report", kSample, "--docx", dir.path("a.docx"), "--settings", dir.path("none.ini")},
         1,
         "请选择要打印的内容"},
        {{"report", kSample, "--xlsx", dir.path("a.xlsx"), "--settings", dir.path("none.ini")},
         0,
         ""},
    };
    for (const Case& c : cases) {
        const RunResult r = runCli(c.args);
        EXPECT_EQ(r.status, c.status) << c.args[3];
        // An empty expectation means no message at all.
        if (c.message.empty())
            EXPECT_EQ(r.err, "");
        else
            EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.path("a.docx")));
    EXPECT_FALSE(std::filesystem::exists(dir.path("无此文件夹")));
    EXPECT_TRUE(std::filesystem::exists(dir.path("a.xlsx")));
}
