// Written files compared line by line with texts composed by hand from the file layout.
#include "test_files_support.h"

#include <gtest/gtest.h>

using namespace tavolin;
using namespace tavolin::testing;

namespace {

// One job with one member, one area and known values everywhere.
JobData layoutJob() {
    JobData job;
    job.project.SITE = u"大桥";
    job.project.DATE = u"2010-3-4";
    job.project.UNIT = u"U";
    job.project.PERSON = u"P";
    job.project.INST = u"VEK";
    job.project.Molddate = u"2009-12-1";
    job.project.Method = MethodSameSide;
    job.project.SPOT = u"柱";
    job.project.LAMDA = 1.0f;
    job.project.BETA = 1.234f;
    job.project.ETA = 0.876f;
    MemberInfo m;
    m.SI = 1;
    m.PILEID = u"Z-1";
    m.DatLen = 1024;
    m.dT = 0.5f;
    m.A = 0.01234f;
    m.B = 1.5f;
    m.C = 2.25f;
    job.members.push_back(m);
    SectionPara p;
    p.SI = 3;
    p.CrossD = 1.5f;
    p.Gain = 79.6f;
    p.T0 = 0.25f;
    p.dT = 0.5f;
    p.Delay = -1.5f;
    p.DatLen = 1024;
    p.FiltL = 10.0f;
    p.FiltH = 250.75f;
    p.Sen_dH = 0.125f;
    job.sections.push_back(p);
    TestArea a;
    a.SI = 1;
    a.RATNO = 7;
    a.dT = 0.5f;
    a.Delay = 2.0f;
    for (size_t j = 0; j < 3; ++j) {
        TestPoint& t = a.points[j];
        t.index = static_cast<int>(j);
        t.samples.assign(1024, 2048);
        t.L = 215.4f;
        t.Gain = 80.0f;
        t.Delay = 2.0f;
        t.arrivalIndex = 100;
        t.ampIndex = 121;
    }
    a.points[0].samples.mutableData()[10] = 1000; // |1000 - 2047| = 1047
    a.points[0].samples.mutableData()[11] = 3000; // |3000 - 2047| = 953
    a.points[1].samples.mutableData()[0] = 4095;  // |4095 - 2047| = 2048
    // The measured signal (what the files hold) is the one with these extremes.
    for (TestPoint& t : a.points)
        t.rawSamples = t.samples;
    for (int r = 0; r < 16; ++r)
        a.R[static_cast<size_t>(r)] = 30 + r;
    a.RA = 36.6f;
    a.LAMDA = 1.0f;
    a.BETA = 1.05f;
    a.ETA = 0.95f;
    a.ANGLE = -45;
    a.ANGLEAM = -2.3f;
    a.PLANE = 1;
    a.PLANEAM = 1.2f;
    a.CARBON = 2.5f;
    a.FCUI = 31.26f;
    a.TMETHOD = 2;
    a.TESTLOC = u"左侧";
    job.areas.push_back({a});
    job.memberCount = 1;
    job.result.MF = 33.36f;
    job.result.SF = 4.125f;
    job.result.FCUE = 27.04f;
    return job;
}

const std::string kRayHeading = "SI   RATNO  SpotNO       L   T(us)  Ta(us)   A(dB) Tf1(us) Tf2(us)"
                                "  AbsMax Del    Seek        Gain   Delay       R    Temp    Temp"
                                "    Temp";

// RayPara line of point `spot` of the layout job: columns of 2, 8 x 9, 4, 12, 8 x 3, then TEMP x 3.
std::string rayLine(const char* spot, const char* absMax, const char* seek) {
    return std::string(" 1") + "       7" + spot + "     215" + "    52.0" + "    62.5" +
           "     0.0" + "     0.0" + "     0.0" + absMax + "   0" + seek + "      80" + "       2" +
           "      35" + "    TEMP    TEMP    TEMP";
}

} // namespace

TEST(FilesLayout, RawFileLinesAsDescribed) {
    ScratchDir dir;
    const JobData job = layoutJob();
    ASSERT_EQ(WriteRawFile(dir.path("a.SHT"), job), u"");
    const std::string text = readText(dir.path("a.SHT"));
    const std::vector<std::string> expected = {
        "PODUX_CrsHlDat_DatFormat:",
        "Format   :VEK_CrsHl_000",
        "SITE     :大桥",
        "DATE     :2010-3-4",
        "PILEID   :Z-1",
        "UNIT     :U",
        "PERSON   :P",
        "Method   :平测",
        "INST     :VEK",
        "SOFT     :VEK_CrsHl V0.88",
        "TEMP     :********",
        "TEMP     :********",
        "TEMP     :********",
        "TEMP     :********",
        "TEMP     :********",
        "TEMP     :********",
        "TEMP     :********",
        "",
        "PODUX_CrsHlDat_PilePipePara:",
        "SPOT     :柱",
        "SectNum  :",
        "λ       :    1.00",
        "β       :    1.23",
        "a        :",
        "η       :    0.88",
        "R        :",
        "",
        "PODUX_CrsHlDat_SectionPara:",
        "SI    CrossD    Gain  T0(us)  dT(us)   Delay  DatLen   FiltL   FiltH  Sen_dH    TEMP"
        "    TEMP    TEMP    TEMP    TEMP",
        std::string("3   ") + "    1.50" + "      80" + "    0.25" + "    0.50" + "   -1.50" +
            "    1024" + "   10.00" + "  250.75" + "    0.12" +
            "    TEMP    TEMP    TEMP    TEMP    TEMP",
        "",
        "",
        "PODUX_CrsHlDat_RayPara:",
        kRayHeading,
        rayLine("       0", "    1047", "           1"),
        rayLine("       1", "    2048", "        2049"),
        rayLine("       2", "       1", "        4097"),
        "",
    };
    EXPECT_EQ(lines(text), expected);
    // Every line ends with CR LF, the text ends with the blank line after RayPara.
    EXPECT_EQ(text.substr(text.size() - 4), "\r\n\r\n");
    EXPECT_EQ(readBytes(dir.path("a.SHD")).size(), 3u * 2048u);
    // Widths of the data lines, in characters.
    EXPECT_EQ(gbkToUtf16(utf16ToGbk(utf8ToUtf16(expected[29]))).size(), 116u);
    EXPECT_EQ(expected[34].size(), 138u);
}

TEST(FilesLayout, ResultFileLinesAsDescribed) {
    ScratchDir dir;
    const JobData job = layoutJob();
    ASSERT_EQ(WriteResultFile(dir.path("a.SHA"), job), u"");
    const std::vector<std::string> got = lines(readText(dir.path("a.SHA")));
    ASSERT_GT(got.size(), 50u);
    EXPECT_EQ(got[10], "Molddate :2009-12-1");
    EXPECT_EQ(got[11], "TEMP     :********");
    EXPECT_EQ(got[16], "TEMP     :********");
    EXPECT_EQ(got[17], "");
    const std::vector<std::string> expected = {
        "PODUX_CrsHlDat_StrengthNum:",
        "PILEID0  :Z-1",
        "SI0      :0",
        "",
        "",
        "PODUX_CrsHlDat_SectionPara:",
        "SI    CrossD    Gain  T0(us)  dT(us)   Delay  DatLen   FiltL   FiltH  Sen_dH       A"
        "       B       C    TEMP    TEMP",
        std::string("3   ") + "    1.50" + "      80" + "    0.25" + "    0.50" + "   -1.50" +
            "    1024" + "   10.00" + "  250.75" + "    0.12" + "  0.0123" + "   1.500" +
            "   2.250" + "    TEMP    TEMP",
        "",
        "",
        "PODUX_CrsHlDat_ResultPara:",
        "SI TESTNUM  R1  R2  R3  R4  R5  R6  R7  R8  R9 R10 R11 R12 R13 R14 R15 R16  RA   LAMDA"
        "    BETA     ETA   ANGLE ANGLEAM   PLANE PLANEAM  CARBON    FCUI TMETHOD   TESTLOC",
        std::string(" 1") + "       7" +
            "  30  31  32  33  34  35  36  37  38  39  40  41  42  43" + "  44  45" + "  37" +
            "    1.00" + "   1.050" + "    0.95" + "     -45" + "    -2.3" + "       1" +
            "     1.2" + "     2.5" + "    31.3" + "       2" + "        左侧",
        "",
        "PODUX_CrsHlDat_Result:",
        "MF       :    33.4",
        "SF       :    4.12",
        "FCUE     :    27.0",
        "",
        "",
        "PODUX_CrsHlDat_RayPara:",
        kRayHeading,
        rayLine("       0", "    1047", "           1"),
        rayLine("       1", "    2048", "        2049"),
        rayLine("       2", "       1", "        4097"),
        "",
    };
    // Header (18 lines) and PilePipePara (9 lines) come first.
    ASSERT_EQ(got.size(), 27u + expected.size());
    EXPECT_EQ(got[18], "PODUX_CrsHlDat_PilePipePara:");
    EXPECT_EQ(std::vector<std::string>(got.begin() + 27, got.end()), expected);
    EXPECT_EQ(gbkToUtf16(utf16ToGbk(utf8ToUtf16(expected[12]))).size(), 168u);
}

TEST(FilesLayout, TestLocationIsRightAlignedInTenCharacters) {
    ScratchDir dir;
    JobData job = layoutJob();
    job.areas[0][0].TESTLOC = u"ABCD";
    ASSERT_EQ(WriteResultFile(dir.path("t.SHA"), job), u"");
    const std::vector<std::string> got = lines(readText(dir.path("t.SHA")));
    const std::string& line = got[27 + 12];
    ASSERT_EQ(line.size(), 168u);
    EXPECT_EQ(line.substr(158), "      ABCD");
}

TEST(FilesLayout, TestLocationKeepsTheLineWidthWhateverItHolds) {
    ScratchDir dir;
    JobData job = layoutJob();
    job.areas[0].push_back(job.areas[0][0]);
    // A line break, and a character outside the BMP that GBK can only write as one "?".
    job.areas[0][0].TESTLOC = u"A\r\nB\U0001F600C";
    job.areas[0][1].TESTLOC = u"后";
    ASSERT_EQ(WriteResultFile(dir.path("w.SHA"), job), u"");
    const std::vector<std::string> got = lines(readText(dir.path("w.SHA")));
    ASSERT_EQ(got[27 + 12].size(), 168u);
    EXPECT_EQ(got[27 + 12].substr(158), "    A  B?C");
    EXPECT_EQ(got[27 + 13].substr(158), "         后");
    JobData back;
    ASSERT_EQ(ReadDataFile(dir.path("w.SHA"), back), u"");
    ASSERT_EQ(back.areas[0].size(), 2u);
    EXPECT_EQ(back.areas[0][0].TESTLOC, u"AB?C");
    EXPECT_EQ(back.areas[0][1].TESTLOC, u"后");
    EXPECT_EQ(back.areas[0][1].R[0], 30);
}

TEST(FilesLayout, ValueWiderThanItsColumnRefusesToWriteAndKeepsThePreviousPair) {
    ScratchDir dir;
    const JobData good = layoutJob();
    ASSERT_EQ(WriteResultFile(dir.path("w.SHA"), good), u"");
    const std::string before = readBytes(dir.path("w.SHA"));
    JobData bad = good;
    bad.areas[0][0].CARBON = 123456789.0f; // "%8.1f" needs 11 characters
    EXPECT_EQ(WriteResultFile(dir.path("w.SHA"), bad), u"创建SHA文件失败！");
    EXPECT_EQ(readBytes(dir.path("w.SHA")), before);
    bad = good;
    bad.members[0].SI = 100; // the SI column has two characters
    EXPECT_EQ(WriteRawFile(dir.path("w.SHT"), bad), u"创建SHT/SHA文件失败！");
}
