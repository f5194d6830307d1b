// Specimen lists, the cores companion file and the curve library: bad lines named, encodings,
// round trips, and eta from a job whose strengths are worked out here.
#include "test_files_support.h"

#include "data/corefile.h"
#include "data/csvtext.h"
#include "data/curvelibrary.h"
#include "data/doc.h"
#include "data/evaluation.h"
#include "data/jobeval.h"
#include "data/merge.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tavolin;
using namespace tavolin::testing;

TEST(CoreList, BadLinesAreNamed) {
    const struct {
        std::string text;
        std::u16string error; // "" = read
        size_t count;
    } cases[] = {
        {"member,area,strength\n1,1,30\n1,2,31.5\n\n2,1,28\n", u"", 3},
        {"1,1,30\r\n1,2,31.5\r\n", u"", 2},
        {"", u"", 0},
        {"1,1,30\n1,2\n", u"第 2 行：应有 3 项，以逗号分隔", 0},
        {"1,1,30\n1,2,x\n", u"第 2 行：强度不是有效的数值：x", 0},
        {"1,1,30\n\n0,2,3\n", u"第 3 行：构件编号应为从 1 开始的整数：0", 0},
        {"1,1.5,30\n", u"第 1 行：测区编号应为从 1 开始的整数：1.5", 0},
        {"1,1,-3\n", u"第 1 行：强度应大于 0：-3", 0},
        {"1,1,nan\n", u"第 1 行：强度不是有效的数值：nan", 0},
        // A header is a first line without any number; a later one is a bad line.
        {"1,1,30\nmember,area,strength\n", u"第 2 行：构件编号应为从 1 开始的整数：member", 0},
    };
    for (const auto& k : cases) {
        std::vector<Specimen> specimens;
        std::vector<int> lines;
        EXPECT_EQ(parseCoreList(k.text, specimens, lines), k.error) << k.text;
        if (k.error.empty()) {
            EXPECT_EQ(specimens.size(), k.count) << k.text;
        }
    }
}

TEST(CoreList, ReadsUtf8WithBomAndGbk) {
    const std::string rows = "2,3,31.5\n1,1,30\n";
    const std::string header = utf16ToGbk(u"构件,测区,芯样强度") + "\n";
    for (const std::string& text :
         {"\xEF\xBB\xBF" + utf16ToUtf8(u"构件,测区,芯样强度\n") + rows, header + rows}) {
        std::vector<Specimen> s;
        std::vector<int> lines;
        ASSERT_EQ(parseCoreList(text, s, lines), u"");
        ASSERT_EQ(s.size(), 2u);
        EXPECT_EQ(s[0].member, 1);
        EXPECT_EQ(s[0].area, 2);
        EXPECT_EQ(s[0].strength, 31.5f);
        EXPECT_EQ(s[0].kind, SpecimenCore);
        EXPECT_EQ(lines, (std::vector<int>{2, 3}));
    }
}

TEST(CurveSpecimens, EveryValueANumberAboveZero) {
    const struct {
        std::string text;
        std::u16string error;
    } cases[] = {
        {"v,R,f\n4.1,35.2,30.5\n", u""},
        {"4.1,35.2,30.5\n4.0,0,20\n", u"第 2 行：回弹值 R 应大于 0：0"},
        {"4.1,35.2,abc\n", u"第 1 行：强度 f 不是有效的数值：abc"},
        {"-4.1,35.2,3\n", u"第 1 行：声速 v 应大于 0：-4.1"},
        {"v,R,f\n4.1;35.2;3\n", u"第 2 行：应有 3 项，以逗号分隔"},
    };
    for (const auto& k : cases) {
        std::vector<CurveSpecimen> s;
        EXPECT_EQ(parseCurveSpecimens(k.text, s), k.error) << k.text;
    }
}

namespace {

NamedCurve curve(const std::u16string& name, double a, double b, double c) {
    NamedCurve n;
    n.name = name;
    n.a = a;
    n.b = b;
    n.c = c;
    n.ranges = {{3.5, 4.8}, {25, 45}};
    n.note = u"本地区 C20~C50 \"试件\"";
    return n;
}

} // namespace

TEST(CurveLibraryFile, RoundTripAndBadFiles) {
    CurveLibrary lib;
    ASSERT_EQ(addCurve(lib, curve(u"甲", 0.0081, 1.72, 1.57)), u"");
    ASSERT_EQ(addCurve(lib, curve(u"乙", 0.0143, 1.779, 1.387)), u"");
    EXPECT_EQ(addCurve(lib, curve(u"甲", 1, 1, 1)), u"曲线库中已有名为“甲”的曲线");
    EXPECT_EQ(lib.curves.size(), 2u);

    ScratchDir dir;
    const std::string path = dir.path("sub/curves.json");
    ASSERT_EQ(writeCurveLibrary(path, lib), u"");
    CurveLibrary back;
    ASSERT_EQ(readCurveLibrary(path, back, false), u"");
    EXPECT_EQ(curveLibraryText(back), curveLibraryText(lib));
    EXPECT_EQ(back.curves[1].note, lib.curves[1].note);
    EXPECT_EQ(back.curves[0].a, 0.0081);

    const struct {
        std::string text;
        std::u16string error;
    } bad[] = {
        {"{\"curves\": []}", u""},
        {"[]", u"第 1 行：应为 {\"curves\": [...]}"},
        {"{\"curves\": [\n{\"name\": \"x\", \"a\": 1, \"b\": 1, \"c\": 1,\n \"v_range\": [1, 2], "
         "\"r_range\": [3]}]}",
         u"第 2 行：v_range 与 r_range 应各为两个数值 [下限, 上限]"},
        {"{\"curves\": [\n{\"name\": \"x\", \"a\": 0, \"b\": 1, \"c\": 1, \"v_range\": [1, 2], "
         "\"r_range\": [3, 4]}]}",
         u"第 2 行：曲线“x”的系数a应大于 0"},
        {"{\"curves\": [\n{\"name\": \"x\", \"a\": 1, \"b\": 1, \"c\": 1, \"v_range\": [2, 1], "
         "\"r_range\": [3, 4]}]}",
         u"第 2 行：曲线“x”的声速范围应满足 0 < 下限 ≤ 上限"},
        {"{\"curves\": [\n{\"name\": \"x\", \"a\": 1, \"b\": 1, \"c\": 1, \"v_range\": [1, 2], "
         "\"r_range\": [3, 4]},\n{\"name\": \"x\", \"a\": 1, \"b\": 1, \"c\": 1, \"v_range\": "
         "[1, 2], \"r_range\": [3, 4]}]}",
         u"第 3 行：曲线名称重复：x"},
        {"{\"curves\": [\n\n{\"name\": \"x\", \"a\": 1,,}]}", u"第 3 行：应为以引号开始的键"},
        {"{\"curves\": []} x", u"第 1 行：JSON 值之后还有多余的内容"},
    };
    for (const auto& k : bad) {
        CurveLibrary out;
        EXPECT_EQ(parseCurveLibrary(k.text, out), k.error) << k.text;
    }
}

TEST(CurveLibraryFile, NamesFollowTheFilePrecision) {
    CurveLibrary lib;
    lib.curves.push_back(roundedToFilePrecision(curve(u"拟合", 0.0142826, 1.77878, 1.38721)));
    EXPECT_EQ(lib.curves[0].a, 0.0143);
    EXPECT_EQ(lib.curves[0].b, 1.779);
    EXPECT_EQ(lib.curves[0].c, 1.387);
    // The result file keeps A "%8.4f", B and C "%8.3f".
    EXPECT_EQ(curveNameFor(lib, 0.0143f, 1.779f, 1.387f), u"拟合");
    EXPECT_EQ(curveNameFor(lib, 0.0144f, 1.779f, 1.387f), u"");

    JobData job = JobBuilder().member(u"甲").area(same(40)).member(u"乙").area(same(40)).build();
    useNamedCurve(job.members[0], lib.curves[0]);
    job.members[1].curve = CurveCustom;
    job.members[1].A = 0.0143f;
    job.members[1].B = 1.779f;
    job.members[1].C = 1.387f;
    nameMemberCurves(job, lib);
    EXPECT_EQ(job.members[0].curveName, u"拟合");
    EXPECT_EQ(job.members[1].curveName, u"拟合");
    job.members[0].curve = CurvePebble;
    nameMemberCurves(job, lib);
    EXPECT_EQ(job.members[0].curveName, u"");
}

namespace {

// fcu of an area of the builder (v = 4 km/s opposite test, so va = 4; readings all `r`, no
// corrections) by CECS 02:2005 crushed stone with eta 1, worked out in double precision.
double crushedAt(double r) {
    return 0.0162 * std::pow(4.0, 1.656) * std::pow(r, 1.41);
}

} // namespace

TEST(CoreCorrection, EtaFromTheJobsConvertedStrengths) {
    JobData job = JobBuilder()
                      .member(u"甲")
                      .area(same(30))
                      .area(same(36))
                      .member(u"乙")
                      .area(same(40))
                      .area(same(44))
                      .build();
    CorrectionTables tables;
    auto algorithm = makeAlgorithm(0, tables);
    EvalSettings settings;
    settings.eta = 0.8f; // eta of the file: fcu,i^c is taken with 1 whatever it is
    for (AreaList& areas : job.areas)
        for (TestArea& area : areas)
            computePointValues(area); // as on open
    evaluateJob(job, *algorithm, 0, settings);

    const std::vector<Specimen> specimens = {{0, 0, SpecimenCore, 24.0f},
                                             {0, 1, SpecimenCube, 33.0f},
                                             {1, 0, SpecimenCore, 30.0f},
                                             {1, 1, SpecimenCore, 40.0f}};
    CoreResult result;
    ASSERT_EQ(correctionFromJob(job, *algorithm, specimens, {}, result), u"");
    const double fcu[4] = {crushedAt(30), crushedAt(36), crushedAt(40), crushedAt(44)};
    double mean = 0;
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(result.fcu[i] / fcu[i], 1.0, 1e-5) << i;
        mean += specimens[i].strength / fcu[i] / 4;
    }
    EXPECT_NEAR(result.correction.meanRatio, mean, 1e-5);
    EXPECT_EQ(result.correction.eta, static_cast<float>(std::round(mean * 100) / 100));

    const struct {
        std::vector<Specimen> s;
        std::vector<int> lines;
        std::u16string error;
    } bad[] = {
        {{specimens[0], specimens[1], specimens[2]}, {}, u"试件只有 3 个，至少需要 4 个"},
        {{specimens[0], {2, 0, 0, 20}}, {4, 7}, u"第 7 行：构件 3 不存在，共有 2 个构件"},
        {{{1, 2, 0, 20}}, {}, u"第 1 个试件：构件 2 没有测区 3，该构件共有 2 个测区"},
    };
    for (const auto& k : bad)
        EXPECT_EQ(correctionFromJob(job, *algorithm, k.s, k.lines, result), k.error);
    job.areas[1][1].correctedVelocity = 0; // no transit time: strength 0
    EXPECT_EQ(correctionFromJob(job, *algorithm, specimens, {2, 3, 4, 5}, result),
              u"第 5 行：构件 2 测区 2 的强度换算值不大于 0");
}

TEST(SpecimenFile, TravelsWithResultFilesAndMerges) {
    ScratchDir dir;
    JobData job = JobBuilder().members(2, 3).build();
    job.specimens = {{0, 2, SpecimenCore, 31.5f}, {1, 0, SpecimenCube, 27.25f}};
    const std::string a = dir.path("a.SHA");
    ASSERT_EQ(WriteResultFile(a, job), u"");
    EXPECT_EQ(readBytes(specimenPath(a)),
              utf16ToUtf8(u"member,area,kind,strength\n1,3,芯样,31.5\n2,1,同条件试块,27.25\n"));

    JobData back;
    ASSERT_EQ(ReadDataFile(a, back), u"");
    ASSERT_EQ(back.specimens.size(), 2u);
    EXPECT_EQ(back.specimens[1].kind, SpecimenCube);
    EXPECT_EQ(back.specimens[1].strength, 27.25f);

    // b has no specimens of its own; merged after a, a's specimens keep their members.
    const std::string b = dir.path("b.SHA");
    JobData other = JobBuilder().members(1, 2).build();
    ASSERT_EQ(WriteResultFile(b, other), u"");
    JobData merged;
    ASSERT_EQ(MergeFiles({b, a}, merged), 2);
    ASSERT_EQ(merged.specimens.size(), 2u);
    EXPECT_EQ(merged.specimens[0].member, 1);
    EXPECT_EQ(merged.specimens[1].member, 2);

    // Saving a job without specimens over a removes the old list.
    ASSERT_EQ(WriteResultFile(a, other), u"");
    EXPECT_FALSE(std::filesystem::exists(specimenPath(a)));

    // A list that does not fit the job is reported; the job still opens.
    writeBytes(specimenPath(b), "member,area,kind,strength\n1,9,芯样,30\n");
    std::vector<std::u16string> notices;
    ReadOptions options;
    options.notice = [&](const std::u16string& m) { notices.push_back(m); };
    JobData withBad;
    ASSERT_EQ(ReadDataFile(b, withBad, options), u"");
    EXPECT_TRUE(withBad.specimens.empty());
    EXPECT_EQ(notices, (std::vector<std::u16string>{
                           u"钻芯修正的试件文件未能读取：第 2 行：构件或测区不在文件中"}));
}

TEST(DocCorrection, CoresSetEtaSaveAndReopen) {
    ScratchDir dir;
    const std::string path = dir.path("job.SHA");
    ASSERT_EQ(WriteResultFile(path, JobBuilder().members(2, 3).build()), u"");
    CTavolinDoc doc;
    ASSERT_EQ(doc.open(path), u"");
    const std::vector<Specimen> four = {{0, 0, SpecimenCore, 30.0f},
                                        {0, 1, SpecimenCore, 31.0f},
                                        {1, 0, SpecimenCube, 30.0f},
                                        {1, 2, SpecimenCore, 33.0f}};
    EXPECT_EQ(doc.applyCores({four[0], four[1], four[2]}), u"试件只有 3 个，至少需要 4 个");
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(doc.project().ETA, 1.0f);

    // Readings 30, 31, 30, 32 at va = 4 (crushed stone, eta 1).
    const double fcu[4] = {crushedAt(30), crushedAt(31), crushedAt(30), crushedAt(32)};
    double mean = 0;
    for (int i = 0; i < 4; ++i)
        mean += four[i].strength / fcu[i] / 4;
    const float eta = static_cast<float>(std::round(mean * 100) / 100);
    ASSERT_EQ(doc.applyCores(four), u"");
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(doc.project().ETA, eta);
    EXPECT_EQ(doc.areasOf(1)[2].ETA, eta);
    EXPECT_NEAR(doc.areasOf(1)[2].FCUI / (eta * crushedAt(32)), 1.0, 1e-5);

    const std::string saved = dir.path("saved.SHA");
    ASSERT_EQ(doc.saveResult(saved), u"");
    CTavolinDoc reopened;
    ASSERT_EQ(reopened.open(saved), u"");
    EXPECT_EQ(reopened.project().ETA, eta);
    ASSERT_EQ(reopened.specimens().size(), 4u);
    EXPECT_EQ(reopened.specimens()[2].kind, SpecimenCube);

    reopened.setEta(eta); // the same eta keeps its specimens
    EXPECT_EQ(reopened.specimens().size(), 4u);
    reopened.setEta(1.2f);
    EXPECT_TRUE(reopened.specimens().empty());
}

TEST(DocCorrection, LibraryCurveForAMemberAndItsRangeMarks) {
    ScratchDir dir;
    const std::string path = dir.path("job.SHA");
    ASSERT_EQ(WriteResultFile(path, JobBuilder().members(2, 3).build()), u"");
    CTavolinDoc doc;
    ASSERT_EQ(doc.open(path), u"");
    CurveLibrary lib;
    NamedCurve c = curve(u"本地", 0.0143, 1.779, 1.387);
    c.ranges.r = {31, 45}; // area 1 of each member reads 30
    lib.curves.push_back(c);
    doc.setCurveLibrary(lib);
    EXPECT_EQ(doc.setNamedCurve(1, u"无"), u"曲线库中没有名为“无”的曲线");
    ASSERT_EQ(doc.setNamedCurve(1, u"本地"), u"");
    const MemberInfo& m = doc.members()[1];
    EXPECT_EQ(m.curve, CurveCustom);
    EXPECT_EQ(m.curveName, u"本地");
    EXPECT_EQ(m.A, 0.0143f);
    EXPECT_EQ(doc.outsideCount(0), 0);
    EXPECT_EQ(doc.outsideCount(1), 1);
    EXPECT_EQ(doc.areaStrength(1, 0)->outsideCurve, ReboundOutside);
    // Another coefficient typed: no longer the library's curve, no marks.
    doc.setCoefficient(1, 0, 0.02f);
    EXPECT_EQ(doc.members()[1].curveName, u"");
    EXPECT_EQ(doc.outsideCount(1), 0);
}

TEST(ReportTexts, CorrectionRemarkAndCurvesUsed) {
    JobData job = JobBuilder().members(3, 1).build();
    job.project.ETA = 0.93f;
    EXPECT_EQ(remarkWithCorrection(u"外观良好", job), u"外观良好");
    job.specimens.assign(5, Specimen{0, 0, SpecimenCube, 30.0f});
    EXPECT_EQ(remarkWithCorrection(u"", job), u"同条件试块修正：n = 5，η = 0.93");
    job.specimens[2].kind = SpecimenCore;
    EXPECT_EQ(remarkWithCorrection(u"外观良好", job), u"外观良好；钻芯修正：n = 5，η = 0.93");

    EXPECT_EQ(conversionTableText(job, u"全国统一测强曲线"), u"全国统一测强曲线");
    for (int m : {0, 2}) {
        job.members[m].curve = CurveCustom;
        job.members[m].curveName = m == 0 ? u"甲" : u"乙";
    }
    job.members[1].curve = CurveCustom;
    job.members[1].curveName = u"甲";
    EXPECT_EQ(conversionTableText(job, u"全国统一测强曲线"), u"甲、乙");
}
