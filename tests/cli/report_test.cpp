// tavolin-cli report: PDF and bitmap pages of an evaluated job, options, settings file, failures.
#include "harness.h"

#include "data/datafile.h"
#include "data/settings.h"
#include "support/files.h"
#include "support/jobbuilder.h"
#include "support/reference.h"

#include <cstdio>
#include <fstream>

using namespace clitest;
using tavolin::testing::ScratchDir;

namespace {

const std::string kSample = TAVOLIN_SAMPLES "/sample-result.SHA";

// The text of a PDF as pdftotext extracts it (poppler-utils).
std::string pdfText(const std::string& pdf) {
    std::string text;
    if (FILE* pipe = popen(("pdftotext -enc UTF-8 '" + pdf + "' - 2>/dev/null").c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
            text.append(buffer, n);
        pclose(pipe);
    }
    return text;
}

int pdfPages(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\f'));
}

std::string oneDecimal(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.1f", value);
    return buffer;
}

} // namespace

TEST(ReportCommand, PdfHoldsBothTablesWithTheEvaluatedBatchAndSearchableChinese) {
    ScratchDir dir;
    const std::string pdf = dir.path("out.pdf");
    // Two pebble members of areas read 30, 31, 32 at va = 4 km/s (angle 0, no face): the batch
    // mean is the mean of the three strengths of the standard's pebble curve.
    tavolin::testing::JobBuilder built;
    built.members(2, 3);
    for (tavolin::MemberInfo& m : built.job().members)
        m = {m.SI, m.PILEID, m.DatLen, m.dT, 0, tavolin::CurvePebble, 0.0056f, 1.439f, 1.769f};
    const std::string job = dir.path("pebble.SHA");
    ASSERT_EQ(tavolin::WriteResultFile(job, built.build()), u"");
    const struct {
        const char* standard;
        tavolin::testing::Curve pebble;
    } standards[] = {{"cecs", tavolin::testing::kCecsPebble}, {"tb", {0.0038, 1.23, 1.95}}};
    for (const auto& [standard, pebble] : standards) {
        double mf = 0;
        for (int r : {30, 31, 32})
            mf += tavolin::testing::strength(4.0, r, 1.0, pebble) / 3;
        const RunResult b =
            runCli({"report", job, "--pdf", pdf, "--tables", "result", "--standard", standard});
        ASSERT_EQ(b.status, 0) << b.err;
        const std::string mfText = "Mf = " + oneDecimal(mf) + "Mpa";
        EXPECT_NE(pdfText(pdf).find(mfText), std::string::npos) << standard << ": " << mfText;

        const RunResult r = runCli(
            {"report", kSample, "--pdf", pdf, "--tables", "field,result", "--standard", standard});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "");
        const std::string text = pdfText(pdf);
        // 3 members of 11 areas each: 2 pages per member and table.
        EXPECT_EQ(pdfPages(text), 12);
        for (const char* expected :
             {"现场记录表", "结果数据表", "工程名称", "测点回弹值", "测区强度换算值",
              "本构件推定值(Mpa)", "构件数 N=3", "1层柱KZ1"})
            EXPECT_NE(text.find(expected), std::string::npos) << expected;
        EXPECT_NE(text.find(std::string(standard) == "tb" ? "TB10426-2004" : "CECS 02：2005"),
                  std::string::npos);
    }
}

TEST(ReportCommand, BitmapsArePagesOfEachTableNumberedWithin) {
    ScratchDir dir;
    const std::string out = dir.path("pages/deeper");
    const RunResult r = runCli({"report", kSample, "--bmp", out, "--tables", "result,field"});
    ASSERT_EQ(r.status, 0) << r.err;
    for (const char* name :
         {"field-record-001.bmp", "field-record-006.bmp", "result-001.bmp", "result-006.bmp"})
        EXPECT_EQ(std::filesystem::file_size(out + "/" + name), 184862u) << name;
    EXPECT_FALSE(std::filesystem::exists(out + "/result-007.bmp"));
}

TEST(ReportCommand, SettingsFileChoosesTablesAndHeads) {
    ScratchDir dir;
    tavolin::AppSettings settings;
    settings.print.printFieldRecord = 0;
    settings.print.printResultTable = 1;
    settings.report.conversionTable = u"专用换算表";
    ASSERT_TRUE(tavolin::writeSettings(dir.path("t.ini"), settings));
    const std::string pdf = dir.path("r.pdf");
    const RunResult r = runCli({"report", kSample, "--pdf", pdf, "--settings", dir.path("t.ini")});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string text = pdfText(pdf);
    EXPECT_EQ(pdfPages(text), 6);
    EXPECT_EQ(text.find("现场记录表"), std::string::npos);
    EXPECT_NE(text.find("专用换算表"), std::string::npos);
}

TEST(ReportCommand, FailuresAndWrongUsage) {
    ScratchDir dir;
    std::ofstream(dir.path("plain")) << "x";
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* message;
    } cases[] = {
        {{"report", kSample}, 2, "--pdf"},
        {{"report", kSample, "--pdf", dir.path("a.pdf"), "--tables", "field,field"}, 2, "--tables"},
        {{"report", kSample, "--pdf", dir.path("a.pdf"), "--json"}, 2, "--json"},
        {{"report", dir.path("none.SHA"), "--pdf", dir.path("a.pdf")}, 1, "打开文件失败！"},
        {{"report", kSample, "--pdf", dir.path("a.pdf"), "--settings", dir.path("no.ini")},
         1,
         "设置文件"},
        {{"report", kSample, "--bmp", dir.path("plain")}, 1, "无法创建文件夹"},
        {{"report", kSample, "--pdf", dir.path("no/a.pdf")}, 1, "无法写入文件"},
    };
    for (const Case& c : cases) {
        const RunResult r = runCli(c.args);
        EXPECT_EQ(r.status, c.status) << c.args.back() << ": " << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.path("a.pdf")));
}
