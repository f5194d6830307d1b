// Raw and result files written and read back give the same job to the written precision.
#include "test_files_support.h"

#include <clocale>
#include <gtest/gtest.h>

using namespace tavolin;
using namespace tavolin::testing;

namespace {

void expectSameWaveforms(const TestArea& a, const TestArea& b) {
    for (size_t j = 0; j < 3; ++j) {
        EXPECT_EQ(a.points[j].samples, b.points[j].samples) << "point " << j;
        EXPECT_EQ(b.points[j].unfiltered(), b.points[j].samples);
        EXPECT_EQ(a.points[j].arrivalIndex, b.points[j].arrivalIndex);
        EXPECT_EQ(a.points[j].ampIndex, b.points[j].ampIndex);
        EXPECT_FLOAT_EQ(a.points[j].L, b.points[j].L);
        EXPECT_FLOAT_EQ(a.points[j].Gain, b.points[j].Gain);
        EXPECT_FLOAT_EQ(a.points[j].Delay, b.points[j].Delay);
        EXPECT_EQ(b.points[j].index, static_cast<int>(j));
    }
}

} // namespace

TEST(FilesRoundTrip, RawFileGivesProjectValuesAndReadings35) {
    ScratchDir dir;
    JobData job = makeJob(1, 3, 256);
    job.project.SITE = u"某 桥梁 工程"; // blanks are not kept by the key lines
    job.project.SPOT = u"梁 底";
    const std::string path = dir.path("job.SHT");
    ASSERT_EQ(WriteRawFile(path, job), u"");

    JobData back;
    std::vector<std::u16string> notices;
    ReadOptions options;
    options.notice = [&](const std::u16string& m) { notices.push_back(m); };
    ASSERT_EQ(ReadDataFile(path, back, options), u"");
    EXPECT_TRUE(notices.empty());
    EXPECT_EQ(back.project.SITE, u"某桥梁工程");
    EXPECT_EQ(back.project.DATE, u"2009-5-6");
    EXPECT_EQ(back.project.UNIT, u"检测中心");
    EXPECT_EQ(back.project.PERSON, u"张三");
    EXPECT_EQ(back.project.INST, u"VEK-100");
    EXPECT_EQ(back.project.SPOT, u"梁底");
    EXPECT_EQ(back.project.Molddate, u""); // a raw file has none
    EXPECT_EQ(back.project.Method, MethodOpposite);
    EXPECT_FLOAT_EQ(back.project.LAMDA, 1.05f);
    EXPECT_FLOAT_EQ(back.project.BETA, 1.25f);
    EXPECT_FLOAT_EQ(back.project.ETA, 0.95f);
    EXPECT_FLOAT_EQ(back.project.Delay, 2.0f);

    ASSERT_EQ(back.memberCount, 1);
    ASSERT_EQ(back.members.size(), 1u);
    EXPECT_EQ(back.members[0].PILEID, u"构件1");
    EXPECT_EQ(back.members[0].SI, 0); // "SectNum  :" is empty
    EXPECT_EQ(back.members[0].DatLen, 256);
    EXPECT_FLOAT_EQ(back.members[0].dT, 0.5f);
    // A raw file always has the two records of lines 0 and 1.
    ASSERT_EQ(back.sections.size(), 2u);
    EXPECT_FLOAT_EQ(back.sections[0].CrossD, 12.5f);
    EXPECT_FLOAT_EQ(back.sections[0].T0, 1.25f);
    EXPECT_EQ(back.sections[0].DatLen, 256);
    EXPECT_FLOAT_EQ(back.sections[0].Sen_dH, 0.5f);
    EXPECT_FALSE(back.hasResult);

    ASSERT_EQ(back.areas.size(), 1u);
    ASSERT_EQ(back.areas[0].size(), 3u);
    for (size_t k = 0; k < 3; ++k) {
        const TestArea& a = back.areas[0][k];
        EXPECT_EQ(a.RATNO, static_cast<int>(k) + 1);
        EXPECT_EQ(a.SI, 0);
        for (int r : a.R)
            EXPECT_EQ(r, 35);
        EXPECT_FLOAT_EQ(a.LAMDA, 1.05f);
        EXPECT_FLOAT_EQ(a.BETA, 1.25f);
        EXPECT_FLOAT_EQ(a.ETA, 0.95f);
        EXPECT_EQ(a.TMETHOD, MethodOpposite);
        EXPECT_EQ(a.TESTLOC, u"梁底");
        EXPECT_FLOAT_EQ(a.dT, 0.5f);
        EXPECT_FLOAT_EQ(a.Delay, 2.0f);
        EXPECT_FLOAT_EQ(a.RA, 35.0f);
        expectSameWaveforms(job.areas[0][k], a);
    }
}

TEST(FilesRoundTrip, ResultFileKeepsMembersReadingsAndResult) {
    ScratchDir dir;
    const JobData job = makeJob(3, 2, 128);
    const std::string path = dir.path("job.SHA");
    ASSERT_EQ(WriteResultFile(path, job), u"");

    JobData back;
    ASSERT_EQ(ReadDataFile(path, back), u"");
    EXPECT_EQ(back.project.Molddate, u"2009-1-2");
    EXPECT_EQ(back.project.SITE, u"某桥梁工程");
    ASSERT_EQ(back.memberCount, 3);
    ASSERT_EQ(back.members.size(), 3u);
    ASSERT_EQ(back.sections.size(), 3u);
    ASSERT_EQ(back.areas.size(), 3u);
    ASSERT_TRUE(back.hasResult);
    EXPECT_FLOAT_EQ(back.result.MF, 32.4f);
    EXPECT_FLOAT_EQ(back.result.SF, 2.37f);
    EXPECT_FLOAT_EQ(back.result.FCUE, 28.6f);
    for (size_t m = 0; m < 3; ++m) {
        const MemberInfo& w = job.members[m];
        const MemberInfo& r = back.members[m];
        EXPECT_EQ(r.PILEID, w.PILEID);
        EXPECT_EQ(r.SI, static_cast<int>(m));
        EXPECT_EQ(r.DatLen, w.DatLen);
        EXPECT_FLOAT_EQ(r.dT, w.dT);
        EXPECT_FLOAT_EQ(r.A, 0.0162f);
        EXPECT_FLOAT_EQ(r.B, 1.656f);
        EXPECT_FLOAT_EQ(r.C, 1.41f);
        EXPECT_EQ(back.sections[m].SI, static_cast<int>(m));
        EXPECT_EQ(back.sections[m].DatLen, w.DatLen);
        EXPECT_FLOAT_EQ(back.sections[m].FiltH, 200.0f);
        ASSERT_EQ(back.areas[m].size(), 2u);
        for (size_t k = 0; k < 2; ++k) {
            const TestArea& a = job.areas[m][k];
            const TestArea& b = back.areas[m][k];
            EXPECT_EQ(b.SI, static_cast<int>(m));
            EXPECT_EQ(b.RATNO, a.RATNO);
            EXPECT_EQ(b.R, a.R);
            EXPECT_FLOAT_EQ(b.RA, a.RA);
            EXPECT_FLOAT_EQ(b.LAMDA, 1.1f);
            EXPECT_FLOAT_EQ(b.BETA, 1.025f);
            EXPECT_FLOAT_EQ(b.ETA, 0.9f);
            EXPECT_EQ(b.ANGLE, a.ANGLE);
            EXPECT_FLOAT_EQ(b.ANGLEAM, -2.5f);
            EXPECT_EQ(b.PLANE, a.PLANE);
            EXPECT_FLOAT_EQ(b.PLANEAM, 1.2f);
            EXPECT_FLOAT_EQ(b.CARBON, a.CARBON);
            EXPECT_FLOAT_EQ(b.FCUI, a.FCUI);
            EXPECT_EQ(b.TMETHOD, a.TMETHOD);
            EXPECT_EQ(b.TESTLOC, a.TESTLOC);
            EXPECT_FLOAT_EQ(b.dT, job.members[m].dT);
            expectSameWaveforms(a, b);
        }
    }
    // The companion holds every waveform once: 2 areas x 3 points per member.
    EXPECT_EQ(readBytes(dir.path("job.SHD")).size(), 2u * 6u * (128u + 256u + 384u));
}

TEST(FilesRoundTrip, DelayWithFractionComesBackWholeAndCursorsFollow) {
    ScratchDir dir;
    JobData job = makeJob(1, 1, 64);
    TestArea& a = job.areas[0][0];
    a.Delay = 2.4f;
    a.points[0].arrivalIndex = 10; // T = 10 * 0.5 + 2.4 = 7.4, Delay written as "       2"
    const std::string path = dir.path("d.SHT");
    ASSERT_EQ(WriteRawFile(path, job), u"");
    JobData back;
    ASSERT_EQ(ReadDataFile(path, back), u"");
    const TestArea& b = back.areas[0][0];
    EXPECT_FLOAT_EQ(b.Delay, 2.0f);
    EXPECT_FLOAT_EQ(b.points[0].Delay, 2.0f);
    // (7.4 - 2) / 0.5 = 10.8, truncated toward zero.
    EXPECT_EQ(b.points[0].arrivalIndex, 10);
}

TEST(FilesRoundTrip, TestLocationsThatLookLikeHeadingsDoNotCaptureColumns) {
    // "L" and "Seek" right-aligned in ten characters contain the headings "       L" and
    // "    Seek"; the tables are still read from their own heading lines.
    ScratchDir dir;
    JobData job = makeJob(2, 2, 64);
    job.areas[0][0].TESTLOC = u"L";
    job.areas[0][1].TESTLOC = u"Seek";
    job.areas[1][0].TESTLOC = u"R";
    job.project.SITE = u"a    Seek   Delay       R       L";
    const std::string path = dir.path("h.SHA");
    ASSERT_EQ(WriteResultFile(path, job), u"");
    JobData back;
    ASSERT_EQ(ReadDataFile(path, back), u"");
    ASSERT_EQ(back.areas.size(), 2u);
    ASSERT_EQ(back.areas[1].size(), 2u);
    EXPECT_EQ(back.areas[0][0].TESTLOC, u"L");
    EXPECT_EQ(back.areas[0][1].TESTLOC, u"Seek");
    for (size_t m = 0; m < 2; ++m)
        for (size_t k = 0; k < 2; ++k)
            expectSameWaveforms(job.areas[m][k], back.areas[m][k]);
}

TEST(FilesRoundTrip, ResultJobWithoutSectionRecordsUsesItsMembers) {
    ScratchDir dir;
    JobData job = makeJob(2, 1, 64);
    job.sections.resize(1); // the second member has no record
    const std::string path = dir.path("s.SHA");
    ASSERT_EQ(WriteResultFile(path, job), u"");
    JobData back;
    ASSERT_EQ(ReadDataFile(path, back), u"");
    ASSERT_EQ(back.sections.size(), 2u);
    EXPECT_EQ(back.sections[1].SI, 1);
    EXPECT_EQ(back.sections[1].DatLen, job.members[1].DatLen);
    EXPECT_FLOAT_EQ(back.sections[1].dT, job.members[1].dT);
    EXPECT_FLOAT_EQ(back.sections[1].Gain, 0.0f);
    EXPECT_EQ(back.members[1].DatLen, job.members[1].DatLen);
    expectSameWaveforms(job.areas[1][0], back.areas[1][0]);
}

TEST(FilesRoundTrip, LocaleWithCommaDecimalPointDoesNotChangeTheFile) {
    ScratchDir dir;
    const JobData job = makeJob(1, 1, 64);
    ASSERT_EQ(WriteResultFile(dir.path("c.SHA"), job), u"");
    const std::string before = readBytes(dir.path("c.SHA"));
    const char* old = std::setlocale(LC_ALL, nullptr);
    const std::string saved = old ? old : "C";
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "fr_FR.UTF-8"))
        GTEST_SKIP() << "no locale with a comma decimal point is installed";
    const std::u16string written = WriteResultFile(dir.path("d.SHA"), job);
    JobData back;
    const std::u16string read = ReadDataFile(dir.path("d.SHA"), back);
    std::setlocale(LC_ALL, saved.c_str());
    ASSERT_EQ(written, u"");
    ASSERT_EQ(read, u"");
    EXPECT_EQ(readBytes(dir.path("d.SHA")), before);
    EXPECT_FLOAT_EQ(back.result.SF, 2.37f);
}

TEST(FilesRoundTrip, ResultFileSavedAsUtf8ElsewhereReadsTheSame) {
    // A result file whose text another program saved as UTF-8 (with or without a byte-order
    // mark): Chinese TESTLOC values in ResultPara must not shift the columns after them.
    ScratchDir dir;
    const std::string path = dir.path("gbk.SHA");
    ASSERT_EQ(WriteResultFile(path, makeJob(2, 4, 128)), u"");
    JobData expected;
    ASSERT_EQ(ReadDataFile(path, expected), u"");
    const std::string utf8 = utf16ToUtf8(gbkToUtf16(readBytes(path)));
    ASSERT_NE(utf8, readBytes(path));
    for (const std::string& prefix : {std::string(), std::string("\xEF\xBB\xBF")}) {
        const std::string other = dir.path(prefix.empty() ? "plain.SHA" : "bom.SHA");
        writeBytes(other, prefix + utf8);
        writeBytes(companionPath(other), readBytes(companionPath(path)));
        JobData back;
        ASSERT_EQ(ReadDataFile(other, back), u"");
        EXPECT_EQ(back.project.SITE, expected.project.SITE);
        ASSERT_EQ(back.areas.size(), expected.areas.size());
        for (size_t m = 0; m < back.areas.size(); ++m) {
            EXPECT_EQ(back.members[m].PILEID, expected.members[m].PILEID);
            ASSERT_EQ(back.areas[m].size(), expected.areas[m].size());
            for (size_t k = 0; k < back.areas[m].size(); ++k) {
                const TestArea& a = expected.areas[m][k];
                const TestArea& b = back.areas[m][k];
                EXPECT_EQ(b.TESTLOC, a.TESTLOC);
                EXPECT_EQ(b.R, a.R);
                EXPECT_EQ(b.FCUI, a.FCUI);
                EXPECT_EQ(b.TMETHOD, a.TMETHOD);
                expectSameWaveforms(a, b);
            }
        }
    }
}

// A job read from a file whose "SI" keys were missing or numbered otherwise: the members' SI are
// not their positions. Saving must still give every member its own areas back.
TEST(FilesRoundTrip, MembersWhoseSiIsNotTheirPositionKeepTheirAreas) {
    ScratchDir dir;
    JobData job = makeJob(3, 2, 64);
    job.members[0].SI = 0;
    job.members[1].SI = 0; // its key was missing: read as 0
    job.members[2].SI = 7;
    const std::string path = dir.path("si.SHA");
    ASSERT_EQ(WriteResultFile(path, job), u"");
    JobData back;
    ASSERT_EQ(ReadDataFile(path, back), u"");
    ASSERT_EQ(back.areas.size(), 3u);
    for (size_t m = 0; m < 3; ++m) {
        ASSERT_EQ(back.areas[m].size(), 2u) << "member " << m;
        EXPECT_EQ(back.areas[m][1].R, job.areas[m][1].R) << "member " << m;
        expectSameWaveforms(job.areas[m][0], back.areas[m][0]);
    }
}
