// The document's edit operations: rules, recomputes (area -> member -> batch), modified flag and
// change notices, checked against strengths worked out from the conversion formulas.
#include "data/doc.h"
#include "support/files.h"
#include "support/jobbuilder.h"
#include "support/reference.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <tuple>

using namespace tavolin;
using namespace tavolin::testing;

namespace {

// The strengths every edit is checked against: the conversion formulas in double.
double cecs(double va, double R, double eta = 1.0, const Curve& curve = kCecsCrushed) {
    return strength(va, R, eta, curve);
}
// TB 10426-2004, crushed stone: 0.008 * va^1.72 * R^1.57, then times eta.
double tb(double va, double R, double eta = 1.0) {
    return strength(va, R, eta, {0.008, 1.72, 1.57});
}

double mean(std::initializer_list<double> v) {
    double s = 0;
    for (double x : v)
        s += x;
    return s / static_cast<double>(v.size());
}

struct Recorder : DocObserver {
    std::vector<DocChange> changes;
    void jobChanged(const DocChange& c) override { changes.push_back(c); }
};

// The two-member job of twoMemberJob(): v = va = 4 km/s everywhere.
class DocEdit : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.path("job.SHA");
        ASSERT_EQ(WriteResultFile(path, twoMemberJob()), u"");
        ASSERT_EQ(doc.open(path), u"");
        doc.addObserver(&seen);
    }
    void TearDown() override { doc.removeObserver(&seen); }
    float fcui(int m, int a) const { return doc.area(m, a)->FCUI; }

    ScratchDir dir;
    std::string path;
    CTavolinDoc doc;
    Recorder seen;
};

} // namespace

TEST_F(DocEdit, OpeningComputesEveryMemberAndTheBatch) {
    EXPECT_NEAR(fcui(0, 2), cecs(4.0f, 27.5f), kStrengthTolerance);
    EXPECT_NEAR(fcui(1, 1), cecs(4.0f, 45.0f), kStrengthTolerance);
    const AreaStrength* s = doc.areaStrength(0, 2);
    ASSERT_NE(s, nullptr);
    // Readings 20..35: the three highest are R14..R16, the three lowest R1..R3.
    std::vector<int> high(s->extremes, s->extremes + 3), low(s->extremes + 3, s->extremes + 6);
    std::sort(high.begin(), high.end());
    std::sort(low.begin(), low.end());
    EXPECT_EQ(high, (std::vector<int>{13, 14, 15}));
    EXPECT_EQ(low, (std::vector<int>{0, 1, 2}));
    const MemberEvaluation* m1 = doc.memberEvaluation(1);
    ASSERT_NE(m1, nullptr);
    EXPECT_EQ(m1->N, 2);
    EXPECT_NEAR(m1->Fmin, cecs(4.0f, 35.0f), kStrengthTolerance);
    EXPECT_NEAR(m1->Fcu, cecs(4.0f, 35.0f),
                kStrengthTolerance); // fewer than 10 areas: the smallest
    const double all = mean({cecs(4, 40), cecs(4, 30), cecs(4, 27.5f), cecs(4, 35), cecs(4, 45)});
    EXPECT_NEAR(doc.batchEvaluation().MF, all, kStrengthTolerance);
    EXPECT_NEAR(doc.result().MF, all, kStrengthTolerance);
    EXPECT_FALSE(doc.isModified());
}

TEST_F(DocEdit, ReadingRules) {
    struct Case {
        int before, typed, stored;
        const char16_t* message;
    } cases[] = {
        {41, -5, 0, u""},
        {41, 9999, 9999, u""},
        {41, 10000, 41, u"输入的回弹值过大！"},
        {-3, 12000, 35, u"输入的回弹值过大！"},
    };
    for (const Case& c : cases) {
        // A negative reading only comes from a file.
        doc.job().areas[0][0].R[4] = c.before;
        EXPECT_EQ(doc.setReading(0, 0, 4, c.typed), c.message) << c.typed;
        EXPECT_EQ(doc.area(0, 0)->R[4], c.stored) << c.typed;
    }
    EXPECT_EQ(doc.enterReading(0, 0, 4, u"12345678901234567890"),
              u"数字过长，请输入小于20位的数值");
    EXPECT_EQ(doc.area(0, 0)->R[4], 0);
    // Fifteen readings of 40 and one 0: the 0 is excluded, the mean stays 40.
    EXPECT_FLOAT_EQ(doc.area(0, 0)->reboundMean, 40.0f);
    EXPECT_TRUE(doc.isModified());
    ASSERT_FALSE(seen.changes.empty());
    const DocChange& last = seen.changes.back();
    EXPECT_EQ(last.member, 0);
    EXPECT_EQ(last.area, 0);
    EXPECT_TRUE(last.has(ChangeReadings) && last.has(ChangeStrength) && last.has(ChangeEvaluation));
}

TEST_F(DocEdit, TypedMeanIsLimitedAndReplacesTheReadings) {
    for (auto [typed, stored] : {std::pair{55.0f, 50.0f}, {12.0f, 20.0f}, {33.3f, 33.3f}}) {
        doc.setReboundMean(0, 1, typed);
        EXPECT_FLOAT_EQ(doc.area(0, 1)->reboundMean, stored);
    }
    EXPECT_EQ(doc.area(0, 1)->reboundFlag, 1);
    EXPECT_FALSE(doc.areaStrength(0, 1)->extremesValid);
    doc.setReading(0, 1, 0, 50); // stored, but the typed mean stays
    EXPECT_EQ(doc.area(0, 1)->R[0], 50);
    EXPECT_FLOAT_EQ(doc.area(0, 1)->reboundMean, 33.3f);
    EXPECT_NEAR(fcui(0, 1), cecs(4.0f, 33.3f), kStrengthTolerance);
}

TEST_F(DocEdit, AngleFaceCarbonAndPathLength) {
    doc.setAngle(0, 0, 44);
    EXPECT_EQ(doc.area(0, 0)->ANGLE, 0);
    doc.setAngle(0, 0, -45);
    EXPECT_EQ(doc.area(0, 0)->ANGLE, -45);
    // CECS angle table, row Rm 40, column -45 degrees: +2.0.
    EXPECT_FLOAT_EQ(doc.area(0, 0)->ANGLEAM, 2.0f);
    doc.setPlane(0, 0, 7);
    EXPECT_EQ(doc.area(0, 0)->PLANE, FaceNone);
    EXPECT_FLOAT_EQ(doc.area(0, 0)->PLANEAM, 0.0f);
    EXPECT_FLOAT_EQ(doc.areaStrength(0, 0)->correctedRebound, 42.0f);
    EXPECT_NEAR(fcui(0, 0), cecs(4.0f, 42.0f), kStrengthTolerance);
    doc.setCarbon(0, 0, 2.75f);
    EXPECT_FLOAT_EQ(doc.area(0, 0)->CARBON, 2.75f); // no range, kept as typed

    // The one check of the path-length range, 0 … 10000 mm, for every surface that takes one.
    for (auto [typed, stored] : {std::pair{u"12000", 10000.0f},
                                 {u"-5", 0.0f},
                                 {u"nan", 0.0f},
                                 {u"10000", 10000.0f},
                                 {u"150", 150.0f}})
        EXPECT_EQ((doc.enterPathLength(0, 0, 0, typed), doc.area(0, 0)->points[0].L), stored);
    // Point 1 now 150 / 75 = 2 km/s; v = (2 + 4 + 4) / 3.
    EXPECT_FLOAT_EQ(doc.area(0, 0)->pointVelocity[0], 2.0f);
    EXPECT_FLOAT_EQ(doc.area(0, 0)->velocity, 10.0f / 3.0f);

    // A pick at sample 290: T = 290 * 0.5 + 5 = 150 us; below 1 it is raised to 1.
    doc.setArrival(0, 0, 1, 290);
    EXPECT_FLOAT_EQ(doc.area(0, 0)->pointTime[1], 150.0f);
    EXPECT_FLOAT_EQ(doc.area(0, 0)->velocity, (2.0f + 2.0f + 4.0f) / 3.0f);
    doc.setArrival(0, 0, 1, -4, true);
    EXPECT_EQ(doc.area(0, 0)->points[1].arrivalIndex, 1);
    EXPECT_EQ(doc.area(0, 0)->points[1].ampIndex, 1);
}

TEST_F(DocEdit, BetaLambdaRuleOfMethodAndPosition) {
    // Each step on area (1, 0), starting from 对测 with no position (beta 1, lambda 1).
    struct Step {
        int method;               // -1: keep
        const char16_t* position; // nullptr: keep
        float beta, lamda;        // typed afterwards (NaN: nothing typed)
        float wantBeta, wantLamda;
        const char16_t* wantPosition;
    } steps[] = {
        {MethodSameSide, nullptr, NAN, 1.2f, 1.05f, 1.2f, u"顶面"}, // lambda is the user's
        {-1, u"底面", 2.0f, NAN, 0.95f, 1.2f, u"底面"},             // beta is the rule's
        {-1, u"侧面", NAN, NAN, 1.0f, 1.2f, u"侧面"},
        {MethodOpposite, nullptr, 1.5f, 1.3f, 1.0f, 1.0f, u"侧面"},
        {-1, u"顶面底面间", NAN, NAN, 1.034f, 1.0f, u"顶面底面间"},
        {-1, u"左侧", 12.0f, NAN, 10.0f, 1.0f, u"左侧"}, // no rule for this position
        {MethodCorner, nullptr, 2.0f, 2.0f, 1.0f, 1.0f, u"顶面"},
    };
    for (const Step& s : steps) {
        if (s.method >= 0)
            doc.setMethod(1, 0, s.method);
        if (s.position)
            doc.setPosition(1, 0, s.position);
        if (!std::isnan(s.beta))
            doc.setBeta(1, 0, s.beta);
        if (!std::isnan(s.lamda))
            doc.setLambda(1, 0, s.lamda);
        const TestArea& a = *doc.area(1, 0);
        EXPECT_EQ(a.TESTLOC, s.wantPosition);
        EXPECT_FLOAT_EQ(a.BETA, s.wantBeta) << a.TMETHOD;
        EXPECT_FLOAT_EQ(a.LAMDA, s.wantLamda) << a.TMETHOD;
        EXPECT_FLOAT_EQ(a.correctedVelocity, 4.0f * s.wantLamda * s.wantBeta);
        EXPECT_NEAR(a.FCUI, cecs(4.0f * s.wantLamda * s.wantBeta, 35.0f), kStrengthTolerance);
    }
}

TEST_F(DocEdit, OpeningAppliesTheRuleToEveryArea) {
    JobBuilder job;
    job.member(u"M").area(same(40)).area(same(40));
    job.job().areas[0][0].TMETHOD = MethodSameSide;
    job.job().areas[0][0].TESTLOC = u"顶面";
    job.job().areas[0][1].TMETHOD = MethodCorner;
    job.job().areas[0][1].LAMDA = 1.5f;
    const std::string file = dir.path("rule.SHA");
    ASSERT_EQ(WriteResultFile(file, job.build()), u"");
    ASSERT_EQ(doc.open(file), u"");
    EXPECT_FLOAT_EQ(doc.area(0, 0)->BETA, 1.05f);
    EXPECT_FLOAT_EQ(doc.area(0, 0)->correctedVelocity, 4.2f);
    EXPECT_FLOAT_EQ(doc.area(0, 1)->LAMDA, 1.0f);
    EXPECT_FALSE(doc.isModified());
}

TEST_F(DocEdit, CurveCoefficientsAndPumped) {
    doc.setCurve(0, CurvePebble);
    const MemberInfo& m = *doc.member(0);
    EXPECT_EQ(m.curve, CurvePebble);
    EXPECT_FLOAT_EQ(m.A, 0.0056f);
    EXPECT_NEAR(fcui(0, 0), cecs(4.0, 40.0, 1.0, kCecsPebble), kStrengthTolerance);
    EXPECT_NEAR(fcui(1, 0), cecs(4.0f, 35.0f), kStrengthTolerance); // the other member is untouched
    doc.setCoefficient(0, 0, 0.5f); // a named curve keeps its standard's
    EXPECT_FLOAT_EQ(m.A, 0.0056f);

    doc.setCurve(0, CurveCustom);
    EXPECT_EQ(std::tuple(m.A, m.B, m.C), std::tuple(0.0f, 0.0f, 0.0f));
    EXPECT_EQ(fcui(0, 0), 0.0f);
    const float MemberInfo::*fields[3] = {&MemberInfo::A, &MemberInfo::B, &MemberInfo::C};
    for (auto [which, typed, stored] : {std::tuple{0, 12.0f, 10.0f},
                                        {0, 0.02f, 0.02f},
                                        {1, -1.0f, 0.0f},
                                        {1, 1.5f, 1.5f},
                                        {2, 1.25f, 1.25f}})
        EXPECT_FLOAT_EQ((doc.setCoefficient(0, which, typed), m.*fields[which]), stored);
    EXPECT_NEAR(fcui(0, 0), cecs(4.0, 40.0, 1.0, {0.02, 1.5, 1.25}), kStrengthTolerance);

    doc.setStandard(1);
    doc.setPumped(1, true);
    // TB pumped, carbonation 0, strength below 45: + the first value of the pump table.
    EXPECT_NEAR(fcui(1, 0), tb(4.0f, 35.0f) + doc.tables().PumpTb[0][0], kStrengthTolerance);
    EXPECT_FALSE(seen.changes.back().has(ChangeName));
}

TEST_F(DocEdit, StandardEtaAndTablesRecomputeEveryMember) {
    doc.setStandard(1);
    EXPECT_NEAR(fcui(0, 2), tb(4.0f, 27.5f), kStrengthTolerance);
    EXPECT_NEAR(fcui(1, 1), tb(4.0f, 45.0f), kStrengthTolerance);
    EXPECT_FLOAT_EQ(doc.member(1)->A, 0.008f); // the named curve takes the standard's values
    EXPECT_NEAR(doc.result().MF, mean({tb(4, 40), tb(4, 30), tb(4, 27.5f), tb(4, 35), tb(4, 45)}),
                kStrengthTolerance);
    EXPECT_TRUE(doc.isModified()); // the strengths and the batch the result file stores

    doc.setStandard(0);
    for (auto [typed, stored] : {std::pair{12.0f, 10.0f}, {-1.0f, 0.0f}, {0.9f, 0.9f}})
        EXPECT_FLOAT_EQ((doc.setEta(typed), doc.project().ETA), stored);
    for (int m = 0; m < 2; ++m)
        for (const TestArea& a : doc.areasOf(m))
            EXPECT_FLOAT_EQ(a.ETA, 0.9f);
    EXPECT_NEAR(fcui(1, 0), cecs(4.0f, 35.0f, 0.9f), kStrengthTolerance);
    EXPECT_TRUE(doc.isModified());

    CorrectionTables tables = doc.tables();
    for (auto& row : tables.AngleCecs)
        for (float& v : row)
            v = -3.0f;
    doc.setAngle(1, 1, 90);
    doc.setTables(tables);
    EXPECT_FLOAT_EQ(doc.area(1, 1)->ANGLEAM, -3.0f);
    EXPECT_NEAR(fcui(1, 1), cecs(4.0f, 42.0f, 0.9f), kStrengthTolerance);
    EXPECT_EQ(seen.changes.back().member, -1);
    EXPECT_TRUE(seen.changes.back().has(ChangeTables));
}

TEST_F(DocEdit, AStandardChangeRenamesTheReportBasis) {
    EXPECT_EQ(doc.reportInfo().testBasis, u"CECS 02：2005");
    doc.setStandard(1);
    EXPECT_EQ(doc.reportInfo().testBasis, u"TB10426-2004");
    doc.setStandard(0);
    EXPECT_EQ(doc.reportInfo().testBasis, u"CECS 02：2005");
}

TEST_F(DocEdit, EditsOutsideTheJobDoNothing) {
    doc.setCurve(0, CurveCustom); // so that a coefficient of member 0 could change
    doc.setModified(false);
    const std::string before = dir.path("before.SHA"), after = dir.path("after.SHA");
    ASSERT_EQ(WriteResultFile(before, doc.job()), u"");
    const size_t notices = seen.changes.size();
    // Two members (areas 3 and 2), three points, sixteen readings, three coefficients.
    doc.setReading(2, 0, 0, 50), doc.setReading(-1, 0, 0, 50), doc.setReading(0, 3, 0, 50);
    doc.setReading(1, -1, 0, 50), doc.setReading(0, 0, 16, 50), doc.setReading(0, 0, -1, 50);
    doc.setReboundMean(1, 2, 41.0f), doc.setCarbon(0, 3, 2.0f), doc.setAngle(2, 0, 90);
    doc.setPlane(0, -1, 1), doc.setPathLength(0, 0, 3, 200.0f), doc.setPathLength(0, 0, -1, 200);
    doc.setArrival(0, 0, 3, 10), doc.setArrival(1, 2, 0, 10), doc.setMethod(0, 3, 2);
    doc.setPosition(-1, 0, u"底面"), doc.setBeta(1, 2, 2.0f), doc.setLambda(2, 0, 2.0f);
    doc.setCurve(2, CurvePebble), doc.setCoefficient(0, 3, 1.0f), doc.setCoefficient(0, -1, 1);
    doc.setPumped(-1, true), doc.renameMember(2, u"柱Z"), doc.enterReading(0, 3, 0, u"40");
    doc.enterPathLength(1, 0, 3, u"200"), doc.enterCoefficient(2, 0, u"1");
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(seen.changes.size(), notices);
    ASSERT_EQ(WriteResultFile(after, doc.job()), u"");
    EXPECT_EQ(readBytes(after), readBytes(before));
}

TEST_F(DocEdit, RenameMarksModifiedAndNotifiesTheName) {
    doc.setModified(false);
    doc.renameMember(1, u"柱C");
    EXPECT_EQ(doc.member(1)->PILEID, u"柱C");
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(seen.changes.back().member, 1);
    EXPECT_EQ(seen.changes.back().fields, unsigned(ChangeName));
}

TEST_F(DocEdit, SaveResultKeepsEveryStrength) {
    doc.setStandard(1);
    doc.setCurve(0, CurveCustom);
    doc.setCoefficient(0, 0, 0.0123f);
    doc.setCoefficient(0, 1, 1.6565f); // more decimals than the file keeps
    doc.setCoefficient(0, 2, 1.5f);
    doc.setPumped(1, true);
    doc.setReboundMean(1, 1, 41.7f);
    std::vector<float> before;
    for (int m = 0; m < 2; ++m)
        for (const TestArea& a : doc.areasOf(m))
            before.push_back(a.FCUI);
    const BatchEvaluation batch = doc.batchEvaluation();

    const std::string target = dir.path("saved.SHA");
    ASSERT_EQ(doc.saveResult(target), u"");
    EXPECT_EQ(doc.path(), target);
    EXPECT_EQ(doc.standard(), 1);
    EXPECT_EQ(doc.member(0)->curve, CurveCustom);
    EXPECT_EQ(doc.member(1)->pumped, 1);
    EXPECT_EQ(doc.area(1, 1)->reboundFlag, 1);
    std::vector<float> after;
    for (int m = 0; m < 2; ++m)
        for (const TestArea& a : doc.areasOf(m))
            after.push_back(a.FCUI);
    EXPECT_EQ(after, before);
    EXPECT_EQ(doc.batchEvaluation().FCUE, batch.FCUE);
    EXPECT_FALSE(doc.isModified());
}

TEST_F(DocEdit, FailedSaveResultLeavesTheJobAsItWas) {
    doc.setReading(0, 0, 0, 20);
    const float strength = fcui(0, 0);
    const std::string bad = dir.path("missing/x.SHA");
    EXPECT_EQ(doc.saveResult(bad), u"创建SHA文件失败！");
    EXPECT_EQ(doc.path(), path);
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(doc.area(0, 0)->R[0], 20);
    EXPECT_EQ(fcui(0, 0), strength);
}

TEST_F(DocEdit, DeletingATypedMeanGivesBackTheReadingsMean) {
    // Area 2 reads 20..35: without 20, 21, 22 and 33, 34, 35 the mean is (23 + ... + 32) / 10.
    EXPECT_EQ(doc.enterReboundMean(0, 2, u""), u""); // no typed mean: nothing to drop
    EXPECT_FALSE(doc.isModified());
    doc.enterReboundMean(0, 2, u"45");
    ASSERT_EQ(doc.area(0, 2)->reboundFlag, 1);
    seen.changes.clear();
    doc.enterReboundMean(0, 2, u" ");
    EXPECT_EQ(doc.area(0, 2)->reboundFlag, 0);
    EXPECT_FLOAT_EQ(doc.area(0, 2)->reboundMean, 27.5f);
    EXPECT_FLOAT_EQ(fcui(0, 2), cecs(4.0f, 27.5f));
    ASSERT_EQ(seen.changes.size(), 1u); // one operation
    EXPECT_TRUE(seen.changes[0].has(ChangeReadings | ChangeEvaluation));
}

TEST_F(DocEdit, CoefficientsKeepTheDecimalsTheFileHolds) {
    doc.setCurve(0, CurveCustom);
    const float MemberInfo::*fields[3] = {&MemberInfo::A, &MemberInfo::B, &MemberInfo::C};
    for (auto [which, typed, stored] : {std::tuple{0, u"0.00563", 0.0056f},
                                        {0, u"0.00567", 0.0057f},
                                        {1, u"1.4394", 1.439f},
                                        {2, u"1.7696", 1.770f}})
        EXPECT_EQ((doc.enterCoefficient(0, which, typed), doc.member(0)->*fields[which]), stored);
}

TEST_F(DocEdit, StandardTablesAndPumpedMarkTheJobModified) {
    CorrectionTables other = doc.tables();
    other.PumpTb[0][0] += 1.0f;
    const std::pair<const char*, std::function<void()>> edits[] = {
        {"standard", [&] { doc.setStandard(1); }},
        {"tables", [&] { doc.setTables(other); }},
        {"pumped", [&] { doc.setPumped(0, true); }},
    };
    for (const auto& [what, edit] : edits) {
        doc.setModified(false);
        edit();
        EXPECT_TRUE(doc.isModified()) << what;
        doc.setModified(false);
        edit(); // the same again changes nothing
        EXPECT_FALSE(doc.isModified()) << what;
    }
}

TEST_F(DocEdit, NoAcceptedValueMakesTheJobUnsaveable) {
    const std::u16string tail = u"超出结果文件可保存的范围（-99999.9～999999.9），未采用";
    EXPECT_EQ(doc.setCarbon(0, 0, 1000000.0f), u"碳化深度 1000000.0" + tail);
    EXPECT_EQ(doc.setCarbon(0, 0, 999999.9f), u""); // the widest number "%8.1f" holds
    EXPECT_FLOAT_EQ(doc.area(0, 0)->CARBON, 999999.9f);
    doc.setCarbon(0, 0, 0.0f);
    // Custom a = 10, b = 10: 10 * 4^10 * R^0 = 10485760, too wide for FCUI's "%8.1f".
    doc.setCurve(0, CurveCustom);
    doc.setCoefficient(0, 0, 10.0f);
    doc.setModified(false);
    EXPECT_EQ(doc.setCoefficient(0, 1, 10.0f), u"系数b 10.000会使测区强度fcui = 10485760.0" + tail);
    EXPECT_EQ(doc.member(0)->B, 0.0f);
    EXPECT_EQ(fcui(0, 0), 10.0f);
    EXPECT_FALSE(doc.isModified());
    // b = 5: 10 * 4^5 = 10240 is kept; a path of 10000 mm over 75 us (133.3 km/s) is not.
    EXPECT_EQ(doc.setCoefficient(0, 1, 5.0f), u"");
    EXPECT_EQ(fcui(0, 0), 10240.0f);
    EXPECT_NE(doc.setPathLength(0, 0, 0, 10000.0f), u"");
    EXPECT_EQ(doc.area(0, 0)->points[0].L, 300.0f);
    EXPECT_EQ(WriteResultFile(dir.path("still.SHA"), doc.job()), u"");
}

TEST_F(DocEdit, EveryOpenStartsAnotherGeneration) {
    const unsigned first = doc.generation();
    ASSERT_EQ(doc.open(path), u"");
    const unsigned second = doc.generation();
    EXPECT_NE(second, first);
    doc.newDocument();
    EXPECT_NE(doc.generation(), second);
    ASSERT_EQ(doc.open(path), u"");
    const unsigned reopened = doc.generation();
    ASSERT_EQ(doc.saveResult(dir.path("again")), u"");
    EXPECT_NE(doc.generation(), reopened);
    doc.setReading(0, 0, 0, 30); // an edit is no new job
    EXPECT_EQ(doc.generation(), reopened + 1);
}
