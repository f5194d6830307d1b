// The reader on files composed by hand: layout rules, grouping, number rules and line ends.
#include "test_files_support.h"

#include "data/mathoperation.h"

#include <climits>
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

std::string rawText(int areas, int datLen) {
    return header("B-2", "角测", "    0.00") +
           sections({sectionLine(0, 0.5f, 4.0f, datLen), sectionLine(1, 0.25f, 1.0f, 64)}) +
           rayTable(areas, datLen);
}

} // namespace

TEST(FilesRead, HandWrittenRawFile) {
    ScratchDir dir;
    writePair(dir, "r.SHT", rawText(2, 32), companion(6, 32));
    JobData job;
    ASSERT_EQ(ReadDataFile(dir.path("r.SHT"), job), u"");
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

TEST(FilesRead, NumberOfNineteenCharactersIsReadTwentyGivesMessageAndZero) {
    ScratchDir dir;
    std::string text = rawText(1, 16);
    const std::string nineteen = "1.00000000000000000"; // 19 characters
    const std::string twenty = "1.000000000000000000";  // 20 characters
    text.replace(text.find("    1.20"), 8, nineteen);
    text.replace(text.find("    0.90"), 8, twenty);
    writePair(dir, "n.SHT", text, companion(3, 16));
    std::vector<std::u16string> notices;
    ReadOptions options;
    options.notice = [&](const std::u16string& m) { notices.push_back(m); };
    JobData job;
    ASSERT_EQ(ReadDataFile(dir.path("n.SHT"), job, options), u"");
    EXPECT_FLOAT_EQ(job.project.LAMDA, 1.0f);
    EXPECT_FLOAT_EQ(job.project.ETA, 0.0f);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0], u"数字过长，请输入小于20位的数值");
}

TEST(FilesRead, SingleMemberIgnoresTheSiColumn) {
    ScratchDir dir;
    std::string text =
        header("P", "平测", "1.00") + sections({sectionLine(0, 0.5f, 0, 8)}) + kRayTitle;
    long long seek = 1;
    for (int k = 0; k < 3; ++k)
        for (int j = 0; j < 3; ++j, seek += 16)
            text += rayLine(k, k + 1, j, 100, 10, 10, seek, 1, 0, 35); // SI 0, 1, 2
    text += "\r\n";
    writePair(dir, "g.SHT", text, companion(9, 8));
    JobData job;
    ASSERT_EQ(ReadDataFile(dir.path("g.SHT"), job), u"");
    ASSERT_EQ(job.areas[0].size(), 3u);
    EXPECT_EQ(job.areas[0][2].SI, 2); // the SI of line j = 2, as read
}

TEST(FilesRead, StrengthNumStopsAtTheFirstMissingMember) {
    ScratchDir dir;
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
    writePair(dir, "m.SHA", text, companion(6, 8) + companion(3, 4));
    JobData job;
    ASSERT_EQ(ReadDataFile(dir.path("m.SHA"), job), u"");
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
    ScratchDir dir;
    std::string text = header("P", "平测", "1.00") + sections({sectionLine(0, 0.0f, 4, 8)}) +
                       kRayTitle + rayLine(0, 1, 0, 100, 30, 4, 1, 1, 4, 35) +
                       rayLine(0, 1, 1, 100, 1, 1, 17, 1, 4, 35) +
                       rayLine(0, 1, 2, 100, 4, 4, 33, 1, 4, 35) + "\r\n";
    writePair(dir, "z.SHT", text, companion(3, 8));
    JobData job;
    ASSERT_EQ(ReadDataFile(dir.path("z.SHT"), job), u"");
    const TestArea& a = job.areas[0][0];
    EXPECT_EQ(a.points[0].arrivalIndex, INT_MAX); // 26 / 0
    EXPECT_EQ(a.points[0].ampIndex, 0);           // 0 / 0
    EXPECT_EQ(a.points[1].arrivalIndex, INT_MIN); // -3 / 0
}
