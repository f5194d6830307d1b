// The reader on files composed by hand: layout rules, grouping, number rules and line ends.
#include "test_files_support.h"

#include "data/doc.h"
#include "data/mathoperation.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>

using namespace tavolin;
using namespace tavolin::testing;

namespace {

// Pieces of a raw file composed from the layout, in UTF-8 (converted to GBK on writing).
std::string header(const std::string& pileid, const std::string& method, const std::string& beta) {
    std::string s = "PODUX_CrsHlDat_DatFormat:\r\nFormat   :VEK_CrsHl_000\r\n"
                    "SITE     : 一号 桥\r\nDATE     :2011-1-1\r\nPILEID   :" +
                    pileid + "\r\nUNIT     :单位\r\nPERSON   :人\r\nMethod   :" + method +
                    "\r\nINST     :VEK\r\nSOFT     :VEK_CrsHl V0.88\r\n";
    for (int i = 0; i < 7; ++i)
        s += "TEMP     :********\r\n";
    s += "\r\nPODUX_CrsHlDat_PilePipePara:\r\nSPOT     :顶 板\r\nSectNum  :\r\n"
         "λ       :    1.20\r\nβ       :" +
         beta + "\r\na        :\r\nη       :    0.90\r\nR        :\r\n\r\n";
    return s;
}

std::string sectionLine(int si, float dT, float delay, int datLen) {
    char buf[200];
    std::snprintf(buf, sizeof buf, "%-4d%8.2f%8.0f%8.2f%8.2f%8.2f%8d%8.2f%8.2f%8.2f", si, 1.0, 80.0,
                  0.0, static_cast<double>(dT), static_cast<double>(delay), datLen, 0.0, 0.0, 0.0);
    return std::string(buf) + "    TEMP    TEMP    TEMP    TEMP    TEMP\r\n";
}

std::string sections(const std::vector<std::string>& rows) {
    std::string s =
        "PODUX_CrsHlDat_SectionPara:\r\nSI    CrossD    Gain  T0(us)  dT(us)   Delay  DatLen"
        "   FiltL   FiltH  Sen_dH    TEMP    TEMP    TEMP    TEMP    TEMP\r\n";
    for (const auto& r : rows)
        s += r;
    return s + "\r\n\r\n";
}

std::string rayLine(int si, int ratno, int spot, float L, float T, float Ta, long long seek,
                    float gain, float delay, int R) {
    char buf[200];
    std::snprintf(
        buf, sizeof buf, "%2d%8d%8d%8.0f%8.1f%8.1f%8.1f%8.1f%8.1f%8d%4d%12lld%8.0f%8.0f%8d", si,
        ratno, spot, static_cast<double>(L), static_cast<double>(T), static_cast<double>(Ta), 0.0,
        0.0, 0.0, 100, 0, seek, static_cast<double>(gain), static_cast<double>(delay), R);
    return std::string(buf) + "    TEMP    TEMP    TEMP\r\n";
}

const char* kRayTitle =
    "PODUX_CrsHlDat_RayPara:\r\nSI   RATNO  SpotNO       L   T(us)  Ta(us)   A(dB)"
    " Tf1(us) Tf2(us)  AbsMax Del    Seek        Gain   Delay       R    Temp"
    "    Temp    Temp\r\n";

// `areas` areas of 3 points with `datLen` samples each, waveforms back to back.
std::string rayTable(int areas, int datLen, int si = 0, int R = 33) {
    std::string s = kRayTitle;
    long long seek = 1;
    for (int k = 0; k < areas; ++k)
        for (int j = 0; j < 3; ++j) {
            s += rayLine(si, k + 1, j, 150.0f + j, 30.0f + k, 40.0f, seek, 90.0f, 4.0f, R);
            seek += 2LL * datLen;
        }
    return s + "\r\n";
}

// Companion with sample values 2048 + (i % 100) - 50 of waveform w at index i.
std::string companion(int waveforms, int datLen) {
    std::string s;
    for (int w = 0; w < waveforms; ++w)
        for (int i = 0; i < datLen; ++i) {
            const auto v = static_cast<int16_t>((i + w) % 100 - 50);
            s.push_back(static_cast<char>(static_cast<uint16_t>(v) & 0xFF));
            s.push_back(static_cast<char>(static_cast<uint16_t>(v) >> 8));
        }
    return s;
}

void writePair(const ScratchDir& dir, const std::string& name, const std::string& utf8Text,
               const std::string& wave) {
    writeBytes(dir.path(name), utf16ToGbk(utf8ToUtf16(utf8Text)));
    writeBytes(companionPath(dir.path(name)), wave);
}

// Writes a pair named `name` into a fresh folder and reads it; the read must succeed.
JobData readPair(const std::string& name, const std::string& utf8Text, const std::string& wave) {
    ScratchDir dir;
    writePair(dir, name, utf8Text, wave);
    JobData job;
    EXPECT_EQ(ReadDataFile(dir.path(name), job), u"") << name;
    return job;
}

std::string rawText(int areas, int datLen) {
    return header("B-2", "角测", "    0.00") +
           sections({sectionLine(0, 0.5f, 4.0f, datLen), sectionLine(1, 0.25f, 1.0f, 64)}) +
           rayTable(areas, datLen);
}

} // namespace

TEST(FilesRead, HandWrittenRawFile) {
    const JobData job = readPair("r.SHT", rawText(2, 32), companion(6, 32));
    EXPECT_EQ(job.project.SITE, u"一号桥");
    EXPECT_EQ(job.project.SPOT, u"顶板");
    EXPECT_EQ(job.project.Method, MethodCorner);
    EXPECT_FLOAT_EQ(job.project.BETA, 1.0f); // β 0 reads as 1
    EXPECT_FLOAT_EQ(job.project.LAMDA, 1.2f);
    EXPECT_FLOAT_EQ(job.project.Delay, 4.0f);
    ASSERT_EQ(job.members.size(), 1u);
    EXPECT_EQ(job.members[0].PILEID, u"B-2");
    EXPECT_EQ(job.members[0].DatLen, 32);
    EXPECT_FLOAT_EQ(job.members[0].dT, 0.5f);
    ASSERT_EQ(job.sections.size(), 2u);
    EXPECT_FLOAT_EQ(job.sections[1].dT, 0.25f);
    EXPECT_EQ(job.sections[1].SI, 1);
    ASSERT_EQ(job.areas[0].size(), 2u);
    const TestArea& a = job.areas[0][1];
    EXPECT_EQ(a.RATNO, 2);
    for (int r : a.R)
        EXPECT_EQ(r, 33);
    EXPECT_EQ(a.TMETHOD, MethodCorner);
    EXPECT_FLOAT_EQ(a.BETA, 1.0f);
    EXPECT_EQ(a.TESTLOC, u"顶板");
    EXPECT_FLOAT_EQ(a.points[2].L, 152.0f);
    // T = 31.0, Delay 4, dT 0.5: (31 - 4) / 0.5 = 54; Ta = 40: 72.
    EXPECT_EQ(a.points[2].arrivalIndex, 54);
    EXPECT_EQ(a.points[2].ampIndex, 72);
    // Waveform 5 (area 1, point 2), sample 7: 2048 + (7 + 5) % 100 - 50.
    EXPECT_EQ(a.points[2].samples[7], 2048 + 12 - 50);
    EXPECT_EQ(a.points[2].samples.size(), 32u);
}

TEST(FilesRead, LoneLineFeedsReadAsCrLf) {
    ScratchDir dir;
    std::string text = rawText(2, 16);
    std::string lf;
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            lf.push_back(text[i]);
    writePair(dir, "crlf.SHT", text, companion(6, 16));
    writePair(dir, "lf.SHT", lf, companion(6, 16));
    JobData a, b;
    ASSERT_EQ(ReadDataFile(dir.path("crlf.SHT"), a), u"");
    ASSERT_EQ(ReadDataFile(dir.path("lf.SHT"), b), u"");
    EXPECT_EQ(b.project.SITE, a.project.SITE);
    ASSERT_EQ(b.areas[0].size(), 2u);
    EXPECT_EQ(b.areas[0][1].points[1].samples, a.areas[0][1].points[1].samples);
    EXPECT_EQ(b.areas[0][1].points[1].arrivalIndex, a.areas[0][1].points[1].arrivalIndex);
}

// Numbers of the λ, β and η lines: up to 19 characters of the GBK text are read; 20 or more
// read as 0, with one message for the whole file however many there are.
TEST(FilesRead, OverLongNumbers) {
    const std::string tooLong = "12345678901234567890";
    const struct Case {
        std::string lamda, beta, eta;
        float wantLamda, wantBeta, wantEta; // β 0 reads as 1
        size_t notices;
    } cases[] = {
        {"    1.20", "    0.00", "    0.90", 1.2f, 1.0f, 0.9f, 0},
        {"1.00000000000000000", "    0.00", "1.000000000000000000", 1.0f, 1.0f, 0.0f, 1},
        // 18 characters, 20 in GBK: too long; 17 characters, 19 in GBK: read.
        {"1.00000000000000米米", "    0.00", "0.5000000000000米", 0.0f, 1.0f, 0.5f, 1},
        {tooLong, tooLong, tooLong, 0.0f, 1.0f, 0.0f, 1},
    };
    ScratchDir dir;
    for (const Case& c : cases) {
        std::string text = header("B", "平测", c.beta) +
                           sections({sectionLine(0, 0.5f, 4.0f, 16)}) + rayTable(1, 16);
        text.replace(text.find("    1.20"), 8, c.lamda);
        text.replace(text.find("    0.90"), 8, c.eta);
        writePair(dir, "n.SHT", text, companion(3, 16));
        std::vector<std::u16string> notices;
        ReadOptions options;
        options.notice = [&](const std::u16string& m) { notices.push_back(m); };
        JobData job;
        ASSERT_EQ(ReadDataFile(dir.path("n.SHT"), job, options), u"") << c.lamda;
        EXPECT_EQ(job.project.LAMDA, c.wantLamda) << c.lamda;
        EXPECT_EQ(job.project.BETA, c.wantBeta) << c.beta;
        EXPECT_EQ(job.project.ETA, c.wantEta) << c.eta;
        EXPECT_EQ(notices, std::vector<std::u16string>(c.notices, MathOperation::tooLongMessage))
            << c.lamda;
    }
}

TEST(FilesRead, SingleMemberIgnoresTheSiColumn) {
    std::string text =
        header("P", "平测", "1.00") + sections({sectionLine(0, 0.5f, 0, 8)}) + kRayTitle;
    long long seek = 1;
    for (int k = 0; k < 3; ++k)
        for (int j = 0; j < 3; ++j, seek += 16)
            text += rayLine(k, k + 1, j, 100, 10, 10, seek, 1, 0, 35); // SI 0, 1, 2
    text += "\r\n";
    const JobData job = readPair("g.SHT", text, companion(9, 8));
    ASSERT_EQ(job.areas[0].size(), 3u);
    EXPECT_EQ(job.areas[0][2].SI, 2); // the SI of line j = 2, as read
}

TEST(FilesRead, StrengthNumStopsAtTheFirstMissingMember) {
    std::string text = header("X", "平测", "1.00") +
                       "PODUX_CrsHlDat_StrengthNum:\r\nPILEID0  :甲\r\nSI0      :0\r\n"
                       "PILEID1  :乙\r\nSI1      :1\r\nPILEID3  :丁\r\nSI3      :3\r\n\r\n\r\n";
    text += sections({sectionLine(0, 0.5f, 0, 8), sectionLine(1, 1.0f, 0, 4)});
    text += kRayTitle;
    long long seek = 1;
    for (int k = 0; k < 2; ++k)
        for (int j = 0; j < 3; ++j, seek += 16)
            text += rayLine(0, k + 1, j, 100, 10, 10, seek, 1, 0, 35);
    for (int j = 0; j < 3; ++j, seek += 8)
        text += rayLine(1, 1, j, 100, 10, 10, seek, 1, 0, 35);
    text += "\r\n";
    const JobData job = readPair("m.SHA", text, companion(6, 8) + companion(3, 4));
    ASSERT_EQ(job.members.size(), 2u);
    EXPECT_EQ(job.members[1].PILEID, u"乙");
    EXPECT_EQ(job.members[1].DatLen, 4);
    ASSERT_EQ(job.areas[0].size(), 2u);
    ASSERT_EQ(job.areas[1].size(), 1u); // the line with SI 1 starts the second member
    EXPECT_EQ(job.areas[1][0].points[0].samples.size(), 4u);
    // No ResultPara: the areas take the project's values.
    EXPECT_FLOAT_EQ(job.areas[1][0].ETA, 0.9f);
    EXPECT_EQ(job.areas[1][0].TMETHOD, MethodSameSide);
}

TEST(FilesRead, InvalidGbkBytesBecomeReplacementCharacters) {
    ScratchDir dir;
    std::string bytes = utf16ToGbk(utf8ToUtf16(rawText(1, 8)));
    bytes.replace(bytes.find("VEK\r\nSOFT"), 3, "V\xFFK");
    writeBytes(dir.path("b.SHT"), bytes);
    writeBytes(dir.path("b.SHD"), companion(3, 8));
    JobData job;
    ASSERT_EQ(ReadDataFile(dir.path("b.SHT"), job), u"");
    EXPECT_EQ(job.project.INST, u"V\uFFFDK");
}

TEST(FilesRead, ZeroSampleIntervalKeepsIndexesInRange) {
    std::string text = header("P", "平测", "1.00") + sections({sectionLine(0, 0.0f, 4, 8)}) +
                       kRayTitle + rayLine(0, 1, 0, 100, 30, 4, 1, 1, 4, 35) +
                       rayLine(0, 1, 1, 100, 1, 1, 17, 1, 4, 35) +
                       rayLine(0, 1, 2, 100, 4, 4, 33, 1, 4, 35) + "\r\n";
    const JobData job = readPair("z.SHT", text, companion(3, 8));
    const TestArea& a = job.areas[0][0];
    EXPECT_EQ(a.points[0].arrivalIndex, INT_MAX); // 26 / 0
    EXPECT_EQ(a.points[0].ampIndex, 0);           // 0 / 0
    EXPECT_EQ(a.points[1].arrivalIndex, INT_MIN); // -3 / 0
}

namespace {

// A result-file SectionPara line: the ten acquisition columns, A, B, C and two TEMP columns.
std::string resultSectionLine(int si, float dT, float delay, int datLen, float A, float B,
                              float C) {
    char buf[200];
    std::snprintf(buf, sizeof buf, "%-4d%8.2f%8.0f%8.2f%8.2f%8.2f%8d%8.2f%8.2f%8.2f%8.4f%8.3f%8.3f",
                  si, 1.0, 80.0, 0.0, static_cast<double>(dT), static_cast<double>(delay), datLen,
                  0.0, 0.0, 0.0, static_cast<double>(A), static_cast<double>(B),
                  static_cast<double>(C));
    return std::string(buf) + "    TEMP    TEMP\r\n";
}

// A ResultPara line; the numbers are written with other (valid) precisions than ours.
std::string resultParaLine(int si, int ratno, int firstReading, float lamda, float fcui,
                           int tmethod, const char* testloc) {
    char buf[300];
    int n = std::snprintf(buf, sizeof buf, "%2d%8d", si, ratno);
    for (int r = 0; r < 16; ++r)
        n += std::snprintf(buf + n, sizeof buf - static_cast<size_t>(n), "%4d", firstReading + r);
    std::snprintf(buf + n, sizeof buf - static_cast<size_t>(n),
                  "%4.1f%8.4f%8.2f%8.3f%8d%8.2f%8d%8.2f%8.2f%8.3f%8d", 36.6,
                  static_cast<double>(lamda), 1.25, 0.875, -30, -1.75, 2, 1.25, 3.5,
                  static_cast<double>(fcui), tmethod);
    return std::string(buf) + testloc + "\r\n";
}

// Two members: member 0 with 2 areas of 8 samples (dT 0.5), member 1 with 1 area of 4 samples
// (dT 1.0, Delay 6); A, B, C per member; one ResultPara line per area; a Result block.
std::string resultText(bool withResultPara) {
    std::string text = header("X", "对测", "1.10");
    text.replace(text.find("TEMP     :********"), 18, "Molddate :2008-8-8");
    text += "PODUX_CrsHlDat_StrengthNum:\r\nPILEID0  :甲\r\nSI0      :0\r\n"
            "PILEID1  :乙\r\nSI1      :1\r\n\r\n\r\n";
    text += "PODUX_CrsHlDat_SectionPara:\r\nSI    CrossD    Gain  T0(us)  dT(us)   Delay  DatLen"
            "   FiltL   FiltH  Sen_dH       A       B       C    TEMP    TEMP\r\n" +
            resultSectionLine(0, 0.5f, 4.0f, 8, 0.0123f, 1.5f, 2.25f) +
            resultSectionLine(1, 1.0f, 6.0f, 4, 0.0321f, 1.25f, 1.75f) + "\r\n";
    if (withResultPara)
        text += "\r\nPODUX_CrsHlDat_ResultPara:\r\nSI TESTNUM  R1  R2  R3  R4  R5  R6  R7  R8  R9"
                " R10 R11 R12 R13 R14 R15 R16  RA   LAMDA    BETA     ETA   ANGLE ANGLEAM   PLANE"
                " PLANEAM  CARBON    FCUI TMETHOD   TESTLOC\r\n" +
                resultParaLine(0, 1, 20, 1.1f, 31.25f, 0, "        左侧") +
                resultParaLine(0, 2, 21, 1.2f, 32.5f, 2, "          ") +
                resultParaLine(1, 1, 22, 1.3f, 40.125f, 1, "     A B C") + "\r\n";
    text += "PODUX_CrsHlDat_Result:\r\nMF       :    33.4\r\nSF       :    4.12\r\n"
            "FCUE     :    27.0\r\n\r\n\r\n";
    text += kRayTitle;
    long long seek = 1;
    for (int k = 0; k < 2; ++k)
        for (int j = 0; j < 3; ++j, seek += 16)
            text += rayLine(0, k + 1, j, 100, 10, 10, seek, 1, 4, 35);
    for (int j = 0; j < 3; ++j, seek += 8)
        text += rayLine(1, 1, j, 100, 10, 10, seek, 1, 6, 35);
    return text + "\r\n";
}

} // namespace

TEST(FilesRead, RayLinesGiveRatnoReadingsAndSiFromTheThirdLineAndDelayPerLine) {
    std::string text = header("P", "平测", "1.00") + sections({sectionLine(0, 0.5f, 4, 8)}) +
                       kRayTitle + rayLine(0, 5, 0, 100, 3.8f, 2.9f, 1, 1, 4, 30) +
                       rayLine(3, 6, 1, 100, 10.3f, 10.3f, 17, 1, 6, 31) +
                       rayLine(4, 7, 2, 100, 12.0f, 12.0f, 33, 1, 8, 32) + "\r\n";
    text.replace(text.find("      32    TEMP"), 8, "    32.9"); // R of the third line
    const JobData job = readPair("l.SHT", text, companion(3, 8));
    ASSERT_EQ(job.areas[0].size(), 1u);
    const TestArea& a = job.areas[0][0];
    EXPECT_EQ(a.RATNO, 7);
    EXPECT_EQ(a.SI, 4);
    for (int r : a.R)
        EXPECT_EQ(r, 32); // 32.9 truncated
    EXPECT_FLOAT_EQ(a.points[0].Delay, 4.0f);
    EXPECT_FLOAT_EQ(a.points[1].Delay, 6.0f);
    EXPECT_FLOAT_EQ(a.Delay, 8.0f);
    // (3.8 - 4) / 0.5 = -0.4 and (2.9 - 4) / 0.5 = -2.2: truncated toward zero, not down.
    EXPECT_EQ(a.points[0].arrivalIndex, 0);
    EXPECT_EQ(a.points[0].ampIndex, -2);
    // (10.3 - 6) / 0.5 = 8.6 with the line's own Delay.
    EXPECT_EQ(a.points[1].arrivalIndex, 8);
}

TEST(FilesRead, RawAcquisitionComesFromTheLineOfTheMembersSectNum) {
    std::string text = header("P", "平测", "1.00") +
                       sections({sectionLine(0, 0.5f, 4, 8), sectionLine(1, 0.25f, 2, 4)}) +
                       rayTable(1, 4);
    text.replace(text.find("SectNum  :"), 10, "SectNum  :1");
    const JobData job = readPair("s.SHT", text, companion(3, 4));
    EXPECT_EQ(job.members[0].SI, 1);
    EXPECT_EQ(job.members[0].DatLen, 4);
    EXPECT_FLOAT_EQ(job.members[0].dT, 0.25f);
    EXPECT_FLOAT_EQ(job.project.Delay, 2.0f);
    ASSERT_EQ(job.sections.size(), 2u);
    EXPECT_EQ(job.sections[0].DatLen, 8);
    EXPECT_EQ(job.areas[0][0].points[0].samples.size(), 4u);
}

TEST(FilesRead, HandWrittenResultFile) {
    const JobData job = readPair("h.SHA", resultText(true), companion(6, 8) + companion(3, 4));
    EXPECT_EQ(job.project.Molddate, u"2008-8-8");
    EXPECT_EQ(job.project.Method, MethodOpposite);
    EXPECT_FLOAT_EQ(job.project.Delay, 6.0f); // the last member's line
    ASSERT_EQ(job.members.size(), 2u);
    EXPECT_EQ(job.members[1].DatLen, 4);
    EXPECT_FLOAT_EQ(job.members[1].dT, 1.0f);
    EXPECT_FLOAT_EQ(job.members[0].A, 0.0123f);
    EXPECT_FLOAT_EQ(job.members[1].B, 1.25f);
    EXPECT_FLOAT_EQ(job.members[1].C, 1.75f);
    ASSERT_EQ(job.sections.size(), 2u);
    EXPECT_TRUE(job.hasResult);
    EXPECT_FLOAT_EQ(job.result.MF, 33.4f);
    EXPECT_FLOAT_EQ(job.result.SF, 4.12f);
    EXPECT_FLOAT_EQ(job.result.FCUE, 27.0f);
    ASSERT_EQ(job.areas[0].size(), 2u);
    ASSERT_EQ(job.areas[1].size(), 1u);
    const TestArea& a = job.areas[0][0];
    EXPECT_EQ(a.R[0], 20);
    EXPECT_EQ(a.R[15], 35);
    EXPECT_FLOAT_EQ(a.RA, 36.6f);
    EXPECT_FLOAT_EQ(a.LAMDA, 1.1f);
    EXPECT_FLOAT_EQ(a.BETA, 1.25f);
    EXPECT_FLOAT_EQ(a.ETA, 0.875f);
    EXPECT_EQ(a.ANGLE, -30);
    EXPECT_FLOAT_EQ(a.ANGLEAM, -1.75f);
    EXPECT_EQ(a.PLANE, 2);
    EXPECT_FLOAT_EQ(a.PLANEAM, 1.25f);
    EXPECT_FLOAT_EQ(a.CARBON, 3.5f);
    EXPECT_FLOAT_EQ(a.FCUI, 31.25f);
    EXPECT_EQ(a.TMETHOD, MethodCorner);
    EXPECT_EQ(a.TESTLOC, u"左侧");
    EXPECT_EQ(job.areas[0][1].TESTLOC, u""); // assigned even when empty
    // The first area of the second member takes the line after the first member's last one.
    const TestArea& b = job.areas[1][0];
    EXPECT_EQ(b.R[0], 22);
    EXPECT_FLOAT_EQ(b.FCUI, 40.125f);
    EXPECT_EQ(b.TESTLOC, u"ABC");
    EXPECT_EQ(b.points[2].samples.size(), 4u);
    EXPECT_FLOAT_EQ(b.dT, 1.0f);
}

TEST(FilesRead, ResultStepsOnlyForShaAndTheirSectionsOptional) {
    ScratchDir dir;
    const std::string wave = companion(6, 8) + companion(3, 4);
    // A result file without ResultPara: the areas keep the values of a new area, η the
    // project's; the readings are not in the file.
    writePair(dir, "n.SHA", resultText(false), wave);
    JobData job;
    ASSERT_EQ(ReadDataFile(dir.path("n.SHA"), job), u"");
    const TestArea& a = job.areas[0][1];
    EXPECT_FLOAT_EQ(a.LAMDA, 1.0f);
    EXPECT_FLOAT_EQ(a.BETA, 1.0f);
    EXPECT_EQ(a.TMETHOD, MethodSameSide);
    EXPECT_FLOAT_EQ(a.ETA, 0.9f);
    EXPECT_EQ(a.R[0], 0);
    EXPECT_EQ(a.TESTLOC, u"顶板"); // the project's SPOT for every file
    EXPECT_FLOAT_EQ(job.members[1].A, 0.0321f);
    // The same text under a path with neither extension: no Molddate, no A, B, C, no
    // ResultPara; acquisition per member and the Result block as for every file.
    writePair(dir, "n.DAT", resultText(true), wave);
    JobData other;
    ASSERT_EQ(ReadDataFile(dir.path("n.DAT"), other), u"");
    EXPECT_EQ(other.project.Molddate, u"");
    EXPECT_FLOAT_EQ(other.members[1].A, MemberInfo{}.A);
    EXPECT_EQ(other.members[1].DatLen, 4);
    EXPECT_FLOAT_EQ(other.areas[0][0].FCUI, 0.0f);
    EXPECT_FLOAT_EQ(other.areas[0][0].LAMDA, 1.0f);
    EXPECT_TRUE(other.hasResult);
    EXPECT_FLOAT_EQ(other.result.FCUE, 27.0f);
    // A lower-case extension is the upper-case one (jobs copied from Windows machines).
    writePair(dir, "n.sha", resultText(true), wave);
    JobData lower;
    ASSERT_EQ(ReadDataFile(dir.path("n.sha"), lower), u"");
    EXPECT_EQ(lower.project.Molddate, u"2008-8-8");
    EXPECT_FLOAT_EQ(lower.members[1].A, 0.0321f);
}

// A name with both types is a raw file, whichever comes last: its areas take the header's
// method (角测), where those of a result file start as new areas (平测).
TEST(FilesRead, ANameWithBothTypesIsRaw) {
    const std::pair<const char*, int> cases[] = {{"d.SHA", MethodSameSide},
                                                 {"d.SHT", MethodCorner},
                                                 {"d.SHA.SHT", MethodCorner},
                                                 {"d.SHT.SHA", MethodCorner}};
    for (const auto& [name, method] : cases)
        EXPECT_EQ(readPair(name, rawText(1, 8), companion(3, 8)).areas.at(0).at(0).TMETHOD, method)
            << name;
}

// The method word of the header; any other word, or none, is 角测 (0).
TEST(FilesRead, MethodWords) {
    const std::pair<const char*, int> cases[] = {{"角测", MethodCorner},   {"平测", MethodSameSide},
                                                 {"对测", MethodOpposite}, {"斜测", MethodCorner},
                                                 {"", MethodCorner},       {"平测x", MethodCorner}};
    for (const auto& [word, method] : cases) {
        const std::string text =
            header("B", word, "1.00") + sections({sectionLine(0, 0.5f, 4.0f, 8)}) + rayTable(1, 8);
        EXPECT_EQ(readPair("w.SHT", text, companion(3, 8)).project.Method, method) << word;
    }
}

TEST(FilesRead, RawFileWithSeveralMembersSharesTheFirstMembersAcquisition) {
    std::string text = resultText(false);
    // Two members of 8 samples each, under a raw path.
    text.replace(text.find(resultSectionLine(1, 1.0f, 6.0f, 4, 0.0321f, 1.25f, 1.75f)),
                 resultSectionLine(1, 1.0f, 6.0f, 4, 0.0321f, 1.25f, 1.75f).size(),
                 resultSectionLine(1, 0.25f, 6.0f, 99, 0.0321f, 1.25f, 1.75f));
    for (long long seek : {113LL, 105LL}) {
        char from[16], to[16];
        std::snprintf(from, sizeof from, "%12lld", seek);
        std::snprintf(to, sizeof to, "%12lld", seek == 113 ? 129LL : 113LL);
        text.replace(text.find(from), 12, to);
    }
    const JobData job = readPair("several.SHT", text, companion(9, 8));
    ASSERT_EQ(job.members.size(), 2u);
    EXPECT_EQ(job.members[1].DatLen, 8);
    EXPECT_FLOAT_EQ(job.members[1].dT, 0.5f);
    ASSERT_EQ(job.areas[1].size(), 1u);
    EXPECT_EQ(job.areas[1][0].points[2].samples.size(), 8u);
    // Waveform 8 (the last), sample 1: 2048 + (1 + 8) % 100 - 50.
    EXPECT_EQ(job.areas[1][0].points[2].samples[1], 2048 + 9 - 50);
    // A raw file takes the readings from the R column and the project's λ, β, method.
    EXPECT_EQ(job.areas[1][0].R[5], 35);
    EXPECT_EQ(job.areas[1][0].TMETHOD, MethodOpposite);
}

TEST(FilesRead, BlankLinesAfterTheRayTableEndIt) {
    ScratchDir dir;
    std::string text = rawText(2, 16);
    for (int i = 0; i < 200; ++i)
        text += i % 3 ? "\r\n" : "      \r\n";
    writePair(dir, "t.SHT", text, companion(6, 16));
    JobData job;
    ASSERT_EQ(ReadDataFile(dir.path("t.SHT"), job), u"");
    EXPECT_EQ(job.areas[0].size(), 2u);
    // Anything else after the table is still a data line that does not hold together.
    writePair(dir, "u.SHT", text + "x", companion(6, 16));
    EXPECT_EQ(ReadDataFile(dir.path("u.SHT"), job), u"读取SHD文件异常!");
}

TEST(FilesRead, CompanionPositionBeyondTwoGigabytes) {
    ScratchDir dir;
    // A sparse companion: the waveforms lie past 2^31 bytes.
    const long long base = (1LL << 31) + 10;
    std::string text =
        header("P", "平测", "1.00") + sections({sectionLine(0, 0.5f, 4, 8)}) + kRayTitle;
    for (int j = 0; j < 3; ++j)
        text += rayLine(0, 1, j, 100, 10, 10, base + 1 + 16 * j, 1, 4, 35);
    text += "\r\n";
    writeBytes(dir.path("big.SHT"), utf16ToGbk(utf8ToUtf16(text)));
    {
        std::ofstream out(dir.path("big.SHD"), std::ios::binary);
        out.seekp(base);
        const std::string w = companion(3, 8);
        out.write(w.data(), static_cast<std::streamsize>(w.size()));
        if (!out)
            GTEST_SKIP() << "no room for a sparse file";
    }
    JobData job;
    ASSERT_EQ(ReadDataFile(dir.path("big.SHT"), job), u"");
    // Waveform 1, sample 3: 2048 + (3 + 1) % 100 - 50.
    EXPECT_EQ(job.areas[0][0].points[1].samples[3], 2048 + 4 - 50);
}

// Saved as either type, a raw job whose member used SectionPara line 1 opens again with its own
// sample interval and waveform length.
TEST(FilesRead, RawJobOnItsSecondSectionLineSavedKeepsItsWaveforms) {
    ScratchDir dir;
    std::string text = header("P", "平测", "1.00") +
                       sections({sectionLine(0, 0.5f, 4, 8), sectionLine(1, 0.25f, 4, 4)}) +
                       rayTable(2, 4);
    text.replace(text.find("SectNum  :"), 10, "SectNum  :1");
    writePair(dir, "s.SHT", text, companion(6, 4));
    JobData raw;
    ASSERT_EQ(ReadDataFile(dir.path("s.SHT"), raw), u"");
    ASSERT_EQ(WriteResultFile(dir.path("s.SHA"), raw), u"");
    ASSERT_EQ(WriteRawFile(dir.path("copy.SHT"), raw), u"");
    for (const char* saved : {"s.SHA", "copy.SHT"}) {
        SCOPED_TRACE(saved);
        JobData back;
        ASSERT_EQ(ReadDataFile(dir.path(saved), back), u"");
        EXPECT_EQ(back.members[0].DatLen, 4);
        EXPECT_FLOAT_EQ(back.members[0].dT, 0.25f);
        ASSERT_EQ(back.areas[0].size(), 2u);
        for (size_t k = 0; k < 2; ++k)
            for (size_t j = 0; j < 3; ++j) {
                EXPECT_EQ(back.areas[0][k].points[j].samples, raw.areas[0][k].points[j].samples);
                EXPECT_EQ(back.areas[0][k].points[j].arrivalIndex,
                          raw.areas[0][k].points[j].arrivalIndex);
            }
    }
}

// A raw file holds one waveform length: members of different lengths are refused as raw (they
// could not be opened again) and the previous pair stays.
TEST(FilesRead, MembersOfDifferentWaveformLengthsAreNotSavedAsRaw) {
    ScratchDir dir;
    JobData job = makeJob(2, 1, 8);
    auto setLength = [&](int datLen) {
        job.members[1].DatLen = datLen;
        for (TestPoint& p : job.areas[1][0].points)
            p.samples = std::vector<uint16_t>(static_cast<size_t>(datLen), 2048);
    };
    setLength(job.members[0].DatLen);
    ASSERT_EQ(WriteRawFile(dir.path("j.SHT"), job), u"");
    const std::string before = readBytes(dir.path("j.SHT"));
    setLength(4);
    EXPECT_EQ(WriteRawFile(dir.path("j.SHT"), job), u"创建SHT/SHA文件失败！");
    EXPECT_EQ(readBytes(dir.path("j.SHT")), before);
    EXPECT_EQ(WriteResultFile(dir.path("j.SHA"), job), u"");
}

// Path-length cells in the many shapes another writer or a hand edit may leave: blanks inside a
// number are removed before it is read, a sign or a bare point is allowed, and a number ends at
// the first character that cannot continue it.
TEST(FilesRead, NumberCellsOfEveryShapeReadAsTheirLeadingNumber) {
    const std::vector<std::pair<std::string, float>> cells = {
        {"   +150", 150.0f}, {" 1 5 0 ", 150.0f}, {"   -.5 ", -0.5f},
        {"  3.25 ", 3.25f},  {"     7.", 7.0f},   {"  12abc", 12.0f},
        {"   5e1 ", 50.0f},  {"  0.1  ", 0.1f},   {"    -0 ", -0.0f}};
    std::string text = header("B", "平测", "    1.00") +
                       sections({sectionLine(0, 0.5f, 4.0f, 8), sectionLine(1, 0.5f, 4.0f, 8)}) +
                       kRayTitle;
    long long seek = 1;
    for (size_t k = 0; k < cells.size(); ++k) {
        std::string line = rayLine(0, static_cast<int>(k) + 1, 0, 0, 30, 40, seek, 90, 4, 35);
        line.replace(18, 8, " " + cells[k].first); // the L column: characters 18..25
        text += line;
        seek += 16;
    }
    // Three lines per area: pad to a whole number of areas with plain lines.
    size_t lines = cells.size();
    for (; lines % 3 != 0; ++lines, seek += 16)
        text += rayLine(0, static_cast<int>(lines) + 1, 0, 1, 30, 40, seek, 90, 4, 35);
    ScratchDir dir;
    writePair(dir, "n.SHT", text + "\r\n", companion(static_cast<int>(lines), 8));
    JobData job;
    ASSERT_EQ(ReadDataFile(dir.path("n.SHT"), job), u"");
    ASSERT_EQ(job.areas[0].size(), lines / 3);
    for (size_t k = 0; k < cells.size(); ++k) {
        const float L = job.areas[0][k / 3].points[k % 3].L;
        EXPECT_EQ(L, cells[k].second) << cells[k].first;
        EXPECT_EQ(std::signbit(L), std::signbit(cells[k].second)) << cells[k].first;
    }
}

// The type of a file is decided on its name: a folder named like a data file changes nothing.
TEST(FilesRead, FileTypeComesFromTheNameNotTheFolders) {
    ScratchDir dir;
    namespace fs = std::filesystem;
    struct Case {
        const char* sample;
        const char* folder;
        const char* name;
    };
    for (const Case c : {Case{"sample-result.SHA", "site.SHT", "job.SHA"},
                         Case{"sample-raw.SHT", "site.SHA", "job.SHT"}}) {
        SCOPED_TRACE(c.folder);
        const std::string sample = std::string(TAVOLIN_SAMPLES) + "/" + c.sample;
        fs::create_directory(dir.path(c.folder));
        const std::string path = dir.path(std::string(c.folder) + "/" + c.name);
        fs::copy_file(sample, path);
        fs::copy_file(companionPath(sample), companionPath(path));

        CTavolinDoc plain, nested;
        ASSERT_EQ(plain.open(sample), u"");
        ASSERT_EQ(nested.open(path), u"");
        const JobData &a = plain.job(), &b = nested.job();
        ASSERT_EQ(b.members.size(), a.members.size());
        EXPECT_EQ(b.project.Molddate, a.project.Molddate);
        EXPECT_EQ(b.sections.size(), a.sections.size());
        for (size_t m = 0; m < a.members.size(); ++m) {
            EXPECT_EQ(b.members[m].PILEID, a.members[m].PILEID);
            EXPECT_EQ(b.members[m].A, a.members[m].A);
            ASSERT_EQ(b.areas[m].size(), a.areas[m].size());
            for (size_t k = 0; k < a.areas[m].size(); ++k)
                EXPECT_EQ(b.areas[m][k].R, a.areas[m][k].R);
        }
        // Saved beside itself under its own type, and read back the same.
        const std::string copy = dir.path(std::string(c.folder) + "/copy" + (c.name + 3));
        ASSERT_EQ(nested.save(copy), u"");
        CTavolinDoc reread;
        ASSERT_EQ(reread.open(copy), u"");
        EXPECT_EQ(reread.job().members.size(), a.members.size());
    }
}

// Every StrengthNum key is found by one pass over the text: a file of twenty thousand members
// reads in moments, and keys whose line ends were lost end each other's values.
TEST(FilesRead, ThousandsOfMemberKeysInOnePass) {
    constexpr int kMembers = 20000;
    for (const char* end : {"\r\n", " "}) {
        ScratchDir dir;
        std::string text = header("X", "平测", "1.00") + "PODUX_CrsHlDat_StrengthNum:\r\n";
        for (int i = 0; i < kMembers; ++i)
            text += "PILEID" + std::to_string(i) + "  :构件" + std::to_string(i) + end + "SI" +
                    std::to_string(i) + "      :" + std::to_string(i % 7) + end;
        writePair(dir, "many.SHA", text + "\r\n", "");
        JobData job;
        ASSERT_EQ(ReadDataFile(dir.path("many.SHA"), job), u"");
        ASSERT_EQ(job.members.size(), static_cast<size_t>(kMembers));
        for (int i : {0, 1, 9999, kMembers - 1}) {
            EXPECT_EQ(job.members[static_cast<size_t>(i)].PILEID,
                      utf8ToUtf16("构件" + std::to_string(i)));
            EXPECT_EQ(job.members[static_cast<size_t>(i)].SI, i % 7);
        }
    }
}

// Members without test areas (a merge of files without any makes them) keep none when their
// result file is opened again: the lines of the member after them stay its own.
TEST(FilesRead, MembersWithoutAreasBeforeOthersKeepNone) {
    ScratchDir dir;
    JobData job = makeJob(4, 2, 64);
    job.areas[0].clear();
    job.areas[1].clear();
    job.members[1].DatLen = 0;
    ASSERT_EQ(WriteResultFile(dir.path("m.SHA"), job), u"");
    JobData back;
    ASSERT_EQ(ReadDataFile(dir.path("m.SHA"), back), u"");
    ASSERT_EQ(back.areas.size(), 4u);
    for (size_t m = 0; m < 4; ++m) {
        ASSERT_EQ(back.areas[m].size(), job.areas[m].size()) << "member " << m;
        for (size_t k = 0; k < job.areas[m].size(); ++k)
            EXPECT_EQ(back.areas[m][k].points[1].samples, job.areas[m][k].points[1].samples);
    }
}
