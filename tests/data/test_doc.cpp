// CTavolinDoc: opening, replacing and keeping jobs, navigation, standard, filter, saving.
#include "data/doc.h"

#include "data/datafile.h"
#include "support/jobbuilder.h"

#include "support/files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

using namespace tavolin;
using namespace tavolin::testing;
namespace fs = std::filesystem;

namespace {

constexpr int kDatLen = 64;

// Records what the document tells its views.
struct Recorder : DocObserver {
    int areas = 0, samples = 0, replaced = 0;
    std::vector<bool> modified;
    std::vector<std::u16string> titles, notices;
    void areaChanged() override { ++areas; }
    void samplesChanged() override { ++samples; }
    void contentsReplaced() override { ++replaced; }
    void modifiedChanged(bool m) override { modified.push_back(m); }
    void titleChanged(const std::u16string& t) override { titles.push_back(t); }
    void notice(const std::u16string& n) override { notices.push_back(n); }
};

// A job of `members` members with `areasEach` areas; T = arrival * 0.5 us, L = 300 mm.
JobData makeJob(int members, int areasEach, const std::u16string& prefix) {
    Geometry g;
    g.datLen = kDatLen;
    g.delay = 0.0f;
    g.arrival = 100;
    g.arrivalStep = 10; // T = 50 + 5j + a/2 us with the area's step below
    g.ampIndex = 20;
    g.gain = 1.0f;
    JobBuilder builder;
    builder.geometry(g);
    JobData& job = builder.job();
    job.project.SITE = prefix + u"工程";
    job.project.UNIT = u"检测单位";
    job.project.DATE = u"2009-5-6";
    job.project.Molddate = u"2009-4-1";
    job.project.ETA = 1.0f;
    for (int m = 0; m < members; ++m) {
        builder.member(prefix + char16_t(u'0' + m));
        for (int a = 0; a < areasEach; ++a) {
            TestArea& area = builder.area(same(30 + a)).lastArea();
            area.TMETHOD = MethodSameSide;
            area.FCUI = 20.0f + a;
            for (TestPoint& p : area.points)
                p.arrivalIndex += a;
        }
    }
    job.result.FCUE = 31.5f;
    job.result.MF = 33.0f;
    job.result.SF = 2.25f;
    return builder.build();
}

class DocFiles : public ::testing::Test {
protected:
    void SetUp() override {
        // A folder of its own: test programs of several checkouts may run at once.
        dir = scratch_.dir();
        doc.addObserver(&seen);
    }
    void TearDown() override { doc.removeObserver(&seen); }
    std::string writeResult(const JobData& job, const std::string& name) {
        const std::string p = (dir / name).string();
        EXPECT_EQ(WriteResultFile(p, job), u"") << name;
        return p;
    }
    std::string writeRaw(const JobData& job, const std::string& name) {
        const std::string p = (dir / name).string();
        EXPECT_EQ(WriteRawFile(p, job), u"") << name;
        return p;
    }

    ScratchDir scratch_;
    fs::path dir;
    CTavolinDoc doc;
    Recorder seen;
};

} // namespace

TEST_F(DocFiles, NewDocumentAndStandard) {
    EXPECT_EQ(doc.memberCount(), -1);
    EXPECT_EQ(doc.filter().highKHz, 20.0f);
    EXPECT_EQ(doc.filter().lowKHz, 50.0f);
    EXPECT_EQ(doc.barWidths(), (std::array<int, 3>{220, 220, 220}));
    EXPECT_EQ(doc.title(), u"超声回弹综合法测强软件   Tavolin");
    EXPECT_EQ(doc.filterCommandCheck(), u"请先打开文件再进行滤波!");
    EXPECT_EQ(doc.saveResult((dir / "x.SHA").string()), u"请先打开文件!");
    EXPECT_FALSE(fs::exists(dir / "x.SHA"));
    EXPECT_NE(doc.nextArea(), u""); // refused, and no crash without areas

    CAlgorithm* first = &doc.algorithm();
    EXPECT_NE(dynamic_cast<Algorithm_CECS02_2005*>(first), nullptr);
    doc.setStandard(0);
    EXPECT_NE(&doc.algorithm(), first); // same index, new object
    doc.setStandard(1);
    CAlgorithm* tb = &doc.algorithm();
    EXPECT_NE(dynamic_cast<Algorithm_TB10426_2004*>(tb), nullptr);
    doc.setStandard(7); // stored, the object stays
    EXPECT_EQ(doc.standard(), 7);
    EXPECT_EQ(&doc.algorithm(), tb);
}

TEST_F(DocFiles, OpenResultFileComputesDerivedValuesAndTitle) {
    JobData job = makeJob(3, 2, u"B");
    job.members[0].A = 0.0056f; // pebble defaults of CECS 02:2005
    job.members[0].B = 1.439f;
    job.members[0].C = 1.769f;
    job.members[2].A = 0.02f; // no standard's defaults: custom
    job.members[2].B = 1.5f;
    job.members[2].C = 1.6f;
    const std::string path = writeResult(job, "job.SHA");

    ASSERT_EQ(doc.open(path), u"");
    EXPECT_EQ(doc.memberCount(), 3);
    ASSERT_EQ(doc.job().areas.size(), 3u);
    EXPECT_EQ(doc.areasOf(1).size(), 2u);
    EXPECT_EQ(doc.members()[0].curve, CurvePebble);
    EXPECT_EQ(doc.members()[1].curve, CurveCrushed);
    EXPECT_EQ(doc.members()[2].curve, CurveCustom);
    EXPECT_NEAR(doc.members()[2].A, 0.02f, 1e-6); // stored coefficients kept
    EXPECT_NEAR(doc.members()[0].C, 1.769f, 1e-6);

    // Area 1 of member 1: T = 50.5, 55.5, 60.5 us over 300 mm.
    const TestArea& a = doc.areasOf(1)[1];
    EXPECT_FLOAT_EQ(a.pointTime[0], 50.5f);
    EXPECT_FLOAT_EQ(a.pointTime[2], 60.5f);
    EXPECT_FLOAT_EQ(a.pointVelocity[1], 300.0f / 55.5f);
    const double v = (300.0 / 55.5 + 300.0 / 50.5 + 300.0 / 60.5) / 3;
    EXPECT_NEAR(a.velocity, v, 1e-5);
    EXPECT_NEAR(a.correctedVelocity, v * a.LAMDA * a.BETA, 1e-5);

    EXPECT_EQ(doc.currentMember(), 0);
    EXPECT_EQ(doc.currentAreaIndex(), 0);
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(doc.path(), path);
    EXPECT_EQ(doc.title(), u"超声回弹综合法测强软件   Tavolin - job.SHA");
    ASSERT_FALSE(seen.titles.empty());
    EXPECT_EQ(seen.titles.back(), doc.title());
    EXPECT_EQ(seen.replaced, 1);
    ASSERT_FALSE(seen.modified.empty());
    EXPECT_FALSE(seen.modified.back());

    EXPECT_EQ(doc.reportInfo().projectName, u"B工程");
    EXPECT_EQ(doc.reportInfo().testingOrg, u"检测单位");
    EXPECT_EQ(doc.reportInfo().testDate, u"2009-5-6");
    EXPECT_EQ(doc.reportInfo().constructionDate, u"2009-4-1");
    EXPECT_EQ(doc.reportInfo().testBasis, u"CECS 02：2005");
}

TEST_F(DocFiles, FailedOpenLeavesThePreviousJobIntact) {
    const std::string path = writeResult(makeJob(2, 3, u"K"), "keep.SHA");
    ASSERT_EQ(doc.open(path), u"");
    doc.setCurrentArea(2);
    doc.members()[1].PILEID = u"edited";
    doc.setModified(true);
    doc.filter().highOn = true;

    const std::string empty = (dir / "empty.SHA").string();
    std::ofstream(empty).close();
    const std::string missing = (dir / "missing.SHA").string();
    for (const std::string& bad : {missing, empty}) {
        EXPECT_NE(doc.open(bad), u"") << bad;
        EXPECT_EQ(doc.memberCount(), 2);
        ASSERT_EQ(doc.job().areas.size(), 2u);
        EXPECT_EQ(doc.areasOf(0).size(), 3u);
        EXPECT_EQ(doc.areasOf(1)[2].points[1].samples.size(), size_t(kDatLen));
        EXPECT_EQ(doc.members()[1].PILEID, u"edited");
        EXPECT_EQ(doc.job().sections.size(), 2u);
        EXPECT_EQ(doc.path(), path);
        EXPECT_TRUE(doc.isModified());
        EXPECT_EQ(doc.currentAreaIndex(), 2);
        EXPECT_TRUE(doc.filter().highOn);
        EXPECT_EQ(doc.title(), u"超声回弹综合法测强软件   Tavolin - keep.SHA");
    }
    EXPECT_EQ(seen.replaced, 1);
}

TEST_F(DocFiles, SecondOpenReplacesEverything) {
    ASSERT_EQ(doc.open(writeResult(makeJob(3, 4, u"A"), "a.SHA")), u"");
    doc.setCurrentMember(2);
    doc.setCurrentArea(3);
    doc.filter().lowOn = true;
    JobData second = makeJob(1, 2, u"Z");
    second.sections[0].CrossD = 77.0f;
    ASSERT_EQ(doc.open(writeResult(second, "z.SHA")), u"");
    EXPECT_EQ(doc.memberCount(), 1);
    ASSERT_EQ(doc.members().size(), 1u);
    EXPECT_EQ(doc.members()[0].PILEID, u"Z0");
    ASSERT_EQ(doc.job().areas.size(), 1u);
    EXPECT_EQ(doc.areasOf(0).size(), 2u);
    ASSERT_EQ(doc.job().sections.size(), 1u);
    EXPECT_FLOAT_EQ(doc.job().sections[0].CrossD, 77.0f);
    EXPECT_EQ(doc.project().SITE, u"Z工程");
    EXPECT_EQ(doc.currentMember(), 0);
    EXPECT_EQ(doc.currentAreaIndex(), 0);
    EXPECT_FALSE(doc.filter().lowOn);
    EXPECT_EQ(seen.replaced, 2);
}

TEST_F(DocFiles, RawFileGetsCrushedStoneAndSaveResultReopens) {
    JobData job = makeJob(1, 2, u"R");
    job.members[0].curve = CurvePebble;
    job.members[0].A = 0.0056f;
    doc.setStandard(1);
    ASSERT_EQ(doc.open(writeRaw(job, "field.SHT")), u"");
    ASSERT_GE(doc.memberCount(), 1);
    // Crushed stone whatever the file had, with the coefficients of the standard in use.
    for (const MemberInfo& m : doc.members()) {
        EXPECT_EQ(m.curve, CurveCrushed);
        EXPECT_FLOAT_EQ(m.A, 0.008f);
        EXPECT_FLOAT_EQ(m.B, 1.72f);
        EXPECT_FLOAT_EQ(m.C, 1.57f);
    }
    EXPECT_NE(dynamic_cast<Algorithm_TB10426_2004*>(&doc.algorithm()), nullptr);
    EXPECT_EQ(doc.reportInfo().testBasis, u"TB10426-2004");

    doc.setModified(true);
    const std::string target = (dir / "saved.SHA").string();
    ASSERT_EQ(doc.saveResult(target), u"");
    EXPECT_EQ(doc.path(), target);
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(doc.title(), u"超声回弹综合法测强软件   Tavolin - saved.SHA");
    EXPECT_EQ(doc.areasOf(0).size(), 2u);
}

TEST_F(DocFiles, PreviousAndNextStopAtTheEnds) {
    ASSERT_EQ(doc.open(writeResult(makeJob(2, 3, u"N"), "n.SHA")), u""); // prefix N
    const int before = seen.areas;
    EXPECT_FALSE(doc.canGoPrevious());
    EXPECT_EQ(doc.previousArea(), u"当前为构件第一个测区");
    EXPECT_EQ(doc.currentAreaIndex(), 0);
    EXPECT_EQ(seen.areas, before);
    EXPECT_EQ(doc.nextArea(), u"");
    EXPECT_EQ(doc.nextArea(), u"");
    EXPECT_EQ(doc.currentAreaIndex(), 2);
    EXPECT_EQ(seen.areas, before + 2);
    EXPECT_FALSE(doc.canGoNext());
    EXPECT_EQ(doc.nextArea(), u"当前为构件最后一个测区");
    EXPECT_EQ(doc.currentAreaIndex(), 2);
    EXPECT_EQ(doc.previousArea(), u"");
    EXPECT_EQ(doc.currentArea(), &doc.areasOf(0)[1]);

    doc.setCurrentArea(3); // out of range: ignored
    doc.setCurrentArea(-1);
    EXPECT_EQ(doc.currentAreaIndex(), 1);
    doc.setSelectedPoint(2);
    doc.setCurrentMember(1);
    EXPECT_EQ(doc.currentMember(), 1);
    EXPECT_EQ(doc.currentAreaIndex(), 0);
    EXPECT_EQ(doc.selectedPoint(), 0);
    EXPECT_EQ(doc.currentMemberInfo(), &doc.members()[1]);
    doc.setCurrentMember(2);
    EXPECT_EQ(doc.currentMember(), 1);
}

TEST_F(DocFiles, FilterStartsFromTheRawSamples) {
    ASSERT_EQ(doc.open(writeResult(makeJob(1, 2, u"F"), "f.SHA")), u"");
    EXPECT_EQ(doc.filterCommandCheck(), u"");
    doc.setCurrentArea(1);
    TestArea& area = *doc.currentArea();
    const std::vector<uint16_t> raw = area.points[0].unfiltered();
    const std::vector<uint16_t> otherArea = doc.areasOf(0)[0].points[0].samples;

    doc.filter().highOn = true;
    doc.filter().highKHz = 20.0f;
    doc.applyFilter();
    EXPECT_EQ(seen.samples, 1);
    EXPECT_NE(area.points[0].samples, raw);
    EXPECT_EQ(area.points[0].samples.size(), raw.size());
    EXPECT_EQ(area.points[0].rawSamples, raw);
    const std::vector<uint16_t> once = area.points[0].samples;
    doc.applyFilter(); // the same settings again give the same output, never a double filter
    EXPECT_EQ(area.points[0].samples, once);

    doc.filter().highOn = false;
    doc.applyFilter();
    for (int j = 0; j < 3; ++j)
        EXPECT_EQ(area.points[j].samples, area.points[j].rawSamples) << j;
    EXPECT_EQ(doc.areasOf(0)[0].points[0].samples, otherArea);
}

TEST_F(DocFiles, SaveByExtensionAndProposedResultPath) {
    fs::create_directories(dir / "my.jobs");
    ASSERT_EQ(doc.open(writeResult(makeJob(2, 1, u"E"), "my.jobs/site.1.SHA")), u"");
    EXPECT_EQ(doc.proposedResultPath(), (dir / "my.jobs" / "site").string());
    EXPECT_EQ(doc.fileName(), u"site.1.SHA");
    doc.setModified(true);
    const std::string unknown = (dir / "other.txt").string();
    EXPECT_EQ(doc.save(unknown), u"无法识别的文件类型");
    EXPECT_FALSE(fs::exists(unknown));
    EXPECT_TRUE(doc.isModified());

    doc.members()[1].PILEID = u"renamed";
    const std::string copy = (dir / "copy.SHA").string();
    EXPECT_EQ(doc.save(copy), u"");
    EXPECT_FALSE(doc.isModified());
    CTavolinDoc other;
    ASSERT_EQ(other.open(copy), u"");
    EXPECT_EQ(other.members()[1].PILEID, u"renamed");
}

// Jobs copied from Windows machines keep whatever case their names had; the type and the
// companion follow the name in any case of letters.
TEST_F(DocFiles, LowerAndMixedCaseNamesOpenAndSave) {
    struct Case {
        const char* name;
        const char* companion;
        bool raw;
        bool result;
    };
    const Case cases[] = {
        {"site.sht", "site.shd", true, false},
        {"Site.Sha", "Site.Shd", false, true},
        {"SITE.shA", "SITE.shD", false, true},
        {"a.SHT.copy.sha", "a.SHT.copy.shd", true, true}, // both: raw, as for saving
    };
    for (const Case& c : cases) {
        const std::string path = (dir / c.name).string();
        EXPECT_EQ(isRawPath(path), c.raw) << c.name;
        EXPECT_EQ(isResultPath(path), c.result) << c.name;
        EXPECT_EQ(companionPath(path), (dir / c.companion).string());
        const JobData job = makeJob(1, 2, u"C");
        ASSERT_EQ(c.raw ? WriteRawFile(path, job) : WriteResultFile(path, job), u"") << c.name;
        EXPECT_TRUE(fs::exists(dir / c.companion)) << c.name;
        ASSERT_EQ(doc.open(path), u"") << c.name;
        EXPECT_EQ(doc.memberCount(), 1) << c.name;
        doc.setModified(true);
        EXPECT_EQ(doc.save(path), u"") << c.name;
    }
    EXPECT_FALSE(isResultPath((dir / "x.sha" / "job.txt").string())); // folders do not count
}

TEST_F(DocFiles, ReaderNoticesReachObserversAndCaller) {
    const std::string path = writeResult(makeJob(1, 1, u"L"), "long.SHA");
    std::string text;
    {
        std::ifstream in(path, std::ios::binary);
        text.assign(std::istreambuf_iterator<char>(in), {});
    }
    const std::string key = "FCUE     :";
    const size_t at = text.find(key);
    ASSERT_NE(at, std::string::npos);
    const size_t end = text.find('\r', at);
    text.replace(at + key.size(), end - at - key.size(), "1234567890123456789012345");
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;

    std::vector<std::u16string> toCaller;
    ReadOptions options;
    options.notice = [&](const std::u16string& m) { toCaller.push_back(m); };
    ASSERT_EQ(doc.open(path, options), u"");
    ASSERT_EQ(toCaller.size(), 1u);
    EXPECT_EQ(toCaller[0], u"数字过长，请输入小于20位的数值");
    EXPECT_EQ(seen.notices, toCaller);
}

TEST_F(DocFiles, FileWithoutMembersOpensEmptyAndEveryCommandStaysSafe) {
    // StrengthNum without the key of member 0: a job of no members.
    const std::string p = writeResult(makeJob(1, 2, u"E"), "e.SHA");
    std::ifstream in(p, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), {});
    in.close();
    text.replace(text.find("PILEID0  :"), 10, "PILEIDX  :");
    std::ofstream(p, std::ios::binary | std::ios::trunc) << text;
    ASSERT_EQ(doc.open(p), u"");
    EXPECT_EQ(doc.memberCount(), 0);
    EXPECT_EQ(doc.currentArea(), nullptr);
    EXPECT_EQ(doc.currentMemberInfo(), nullptr);
    EXPECT_EQ(doc.nextArea(), u"当前为构件最后一个测区");
    EXPECT_EQ(doc.previousArea(), u"当前为构件第一个测区");
    doc.setCurrentMember(0);
    doc.applyFilter();
    EXPECT_EQ(doc.save((dir / "e2.SHA").string()), u"");
    CTavolinDoc again;
    EXPECT_EQ(again.open((dir / "e2.SHA").string()), u"");
    EXPECT_EQ(again.memberCount(), 0);
}

TEST_F(DocFiles, NewDocumentLeavesNoFileOpen) {
    ASSERT_EQ(doc.open(writeResult(makeJob(2, 3, u"N"), "n.SHA")), u"");
    doc.setCurrentArea(2);
    doc.setModified(true);
    const std::u16string site = doc.project().SITE;
    doc.newDocument();
    EXPECT_FALSE(doc.isOpen());
    EXPECT_EQ(doc.memberCount(), -1);
    EXPECT_TRUE(doc.job().areas.empty());
    EXPECT_TRUE(doc.path().empty());
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(doc.currentAreaIndex(), 0);
    EXPECT_EQ(doc.currentArea(), nullptr);
    EXPECT_EQ(doc.project().SITE, site); // the last project information stays
    EXPECT_EQ(doc.title(), CTavolinDoc::baseTitle);
    EXPECT_EQ(doc.nextArea(), u"请先打开文件!");
    EXPECT_EQ(doc.save("x.SHA"), u"请先打开文件!");
}
