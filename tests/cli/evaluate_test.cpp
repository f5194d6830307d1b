// evaluate: the JSON and table output of a job whose values are worked out here by hand.
#include "harness.h"
#include "support/reference.h"

#include <cmath>
#include <cstring>

using namespace clitest;
using tavolin::testing::Curve;
using tavolin::testing::kCecsCrushed;
using tavolin::testing::kStrengthTolerance;
using tavolin::testing::strength;

namespace {

// Converted strength by the CECS 02:2005 formula (crushed stone unless another curve is
// given), mean and sample standard deviation, all in double.
double cecsCrushed(double va, double R, const Curve& curve = kCecsCrushed, double eta = 1.0) {
    return strength(va, R, eta, curve);
}

double meanOf(const std::vector<double>& v) {
    double s = 0;
    for (double x : v)
        s += x;
    return s / static_cast<double>(v.size());
}

double stdDevOf(const std::vector<double>& v) {
    const double m = meanOf(v);
    double sq = 0;
    for (double x : v)
        sq += (x - m) * (x - m);
    return std::sqrt(sq / static_cast<double>(v.size() - 1));
}

// Significant digits of a decimal text: first to last non-zero digit of the mantissa.
int significantDigits(const std::string& text) {
    std::string digits;
    for (char c : text) {
        if (c == 'e' || c == 'E')
            break;
        if (isdigit(static_cast<unsigned char>(c)))
            digits.push_back(c);
    }
    const size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos)
        return 1;
    return static_cast<int>(digits.find_last_not_of('0') - first + 1);
}

// True when no decimal with fewer significant digits reads back as the same float.
bool isShortest(const std::string& text) {
    const float v = std::strtof(text.c_str(), nullptr);
    for (int p = 1; p < significantDigits(text); ++p) {
        char shorter[400];
        std::snprintf(shorter, sizeof shorter, "%.*g", p, static_cast<double>(v));
        if (std::strtof(shorter, nullptr) == v)
            return false;
    }
    return true;
}

void checkAllNumbersShortest(const Json& j) {
    if (j.kind == Json::Number) {
        EXPECT_TRUE(isShortest(j.text)) << j.text;
    }
    for (const Json& item : j.items)
        checkAllNumbersShortest(item);
    for (const auto& m : j.members)
        checkAllNumbersShortest(m.second);
}

class EvaluateTest : public ::testing::Test {
protected:
    void SetUp() override {
        JobBuilder job;
        job.member(u"梁A").area(ascending()).area(same(40)).area(same(30));
        job.job().areas[0][1].PLANE = 0; // side face: looked up, no correction
        job.job().areas[0][2].BETA = 1.034f;
        job.member(u"柱B").area(same(35)).area(same(45));
        path = dir.path("job.SHA");
        ASSERT_EQ(tavolin::WriteResultFile(path, job.build()), u"");
    }

    Json evaluate(std::vector<std::string> extra = {}) {
        std::vector<std::string> args = {"evaluate", path, "--json"};
        args.insert(args.end(), extra.begin(), extra.end());
        const RunResult r = runCli(args);
        EXPECT_EQ(r.status, 0) << r.err;
        return parseJson(r.out);
    }

    ScratchDir dir;
    std::string path;
};

TEST_F(EvaluateTest, JsonCarriesTheWorkedOutAreaValues) {
    const Json j = evaluate();
    EXPECT_EQ(j["file"].text, path);
    EXPECT_EQ(j["standard"].i(), 0);
    EXPECT_EQ(j["project"]["SITE"].text, "检测\"工程\"\\A");
    ASSERT_EQ(j["members"].items.size(), 2u);
    const Json& beam = j["members"][0];
    EXPECT_EQ(beam["PILEID"].text, "梁A");
    EXPECT_EQ(beam["DatLen"].i(), Geometry{}.datLen);
    ASSERT_EQ(beam["areas"].items.size(), 3u);

    const Json& a0 = beam["areas"][0];
    ASSERT_EQ(a0["R"].items.size(), 16u);
    EXPECT_EQ(a0["R"][0].i(), 20);
    EXPECT_EQ(a0["R"][15].i(), 35);
    EXPECT_EQ(a0["reboundMean"].f(), 27.5f);
    const int excluded[6] = {13, 14, 15, 0, 1, 2};
    ASSERT_EQ(a0["excluded"].items.size(), 6u);
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(a0["excluded"][k].i(), excluded[k]);
    EXPECT_EQ(a0["PLANEAM"].f(), 0.0f);
    EXPECT_EQ(a0["correctedRebound"].f(), 27.5f);
    EXPECT_EQ(a0["velocity"].f(), 4.0f);
    EXPECT_EQ(a0["correctedVelocity"].f(), 4.0f);
    EXPECT_NEAR(a0["FCUI"].f(), cecsCrushed(4.0f, 27.5f), kStrengthTolerance);

    // Equal readings: the first three positions are the high ones, the next three the low.
    const Json& a1 = beam["areas"][1];
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(a1["excluded"][k].i(), k);
    EXPECT_EQ(a1["PLANE"].i(), 0);
    EXPECT_EQ(a1["PLANEAM"].f(), 0.0f);
    EXPECT_NEAR(a1["FCUI"].f(), 29.2f, 0.05f); // the standard's own worked example

    const Json& a2 = beam["areas"][2];
    EXPECT_FLOAT_EQ(a2["correctedVelocity"].f(), 1.034f * 4.0f);
    EXPECT_NEAR(a2["FCUI"].f(), cecsCrushed(a2["correctedVelocity"].f(), 30.0f),
                kStrengthTolerance);

    const Json& p = a0["points"][1];
    EXPECT_TRUE(p["hasWaveform"].boolean);
    EXPECT_EQ(p["arrivalIndex"].i(), Geometry{}.arrival);
    EXPECT_EQ(p["ampIndex"].i(), Geometry{}.ampIndex);
    EXPECT_EQ(p["T"].text, "75");
    EXPECT_EQ(p["V"].text, "4");
    EXPECT_EQ(p["A"].f(), 100.0f * 2.0f / 2048.0f / Geometry{}.gain);
}

TEST_F(EvaluateTest, MemberAndBatchEvaluationMatchTheRules) {
    const Json j = evaluate();
    const std::vector<double> beam = {cecsCrushed(4.0f, 27.5f), cecsCrushed(4.0f, 40.0f),
                                      cecsCrushed(1.034f * 4.0f, 30.0f)};
    const std::vector<double> column = {cecsCrushed(4.0f, 35.0f), cecsCrushed(4.0f, 45.0f)};
    const Json& e = j["members"][0]["evaluation"];
    EXPECT_EQ(e["N"].i(), 3);
    EXPECT_NEAR(e["Fmin"].f(), beam[0], kStrengthTolerance);
    EXPECT_NEAR(e["Fmax"].f(), beam[1], kStrengthTolerance);
    EXPECT_NEAR(e["Mf"].f(), meanOf(beam), kStrengthTolerance);
    EXPECT_NEAR(e["Sf"].f(), stdDevOf(beam), 1e-3);
    // Fewer than ten areas: the smallest area strength.
    EXPECT_NEAR(e["Fcu"].f(), beam[0], kStrengthTolerance);
    EXPECT_EQ(e["status"].text, "Valid");

    std::vector<double> all = beam;
    all.insert(all.end(), column.begin(), column.end());
    const Json& b = j["batch"];
    EXPECT_NEAR(b["MF"].f(), meanOf(all), kStrengthTolerance);
    EXPECT_NEAR(b["SF"].f(), stdDevOf(all), 1e-3);
    // Mean below 50 with a deviation above 5.5: the batch must be re-tested member by member.
    ASSERT_GT(stdDevOf(all), 5.5);
    EXPECT_EQ(b["status"].text, "RetestMembers");
}

TEST_F(EvaluateTest, EveryNumberIsTheShortestRoundTrip) {
    const Json j = evaluate({"--standard", "tb", "--eta", "1.13"});
    checkAllNumbersShortest(j);
    // 0.1 + 0.2 style values must not come out as 17 digits.
    EXPECT_EQ(j["project"]["ETA"].text, "1.13");
    EXPECT_EQ(j["members"][0]["areas"][2]["BETA"].text, "1.034");
}

TEST_F(EvaluateTest, OptionsChangeCurvePumpedAndEta) {
    Json j = evaluate({"--curve", "pebble"});
    EXPECT_EQ(j["members"][1]["curve"].i(), 1);
    EXPECT_EQ(j["members"][1]["A"].f(), 0.0056f);
    EXPECT_EQ(j["members"][1]["B"].f(), 1.439f);
    EXPECT_EQ(j["members"][1]["C"].f(), 1.769f);

    j = evaluate({"--standard", "tb", "--curve", "pebble", "--pumped"});
    EXPECT_EQ(j["standard"].i(), 1);
    EXPECT_EQ(j["members"][0]["A"].f(), 0.0038f);
    EXPECT_EQ(j["members"][0]["B"].f(), 1.23f);
    EXPECT_EQ(j["members"][0]["pumped"].i(), 1);

    // Without --curve a named curve carries the defaults of the standard that evaluates it
    // (default-coefficient table: TB crushed stone 0.008, 1.72, 1.57; CECS pebble 0.0056, ...),
    // never those of the standard the file was saved under.
    j = evaluate({"--standard", "tb"});
    EXPECT_EQ(j["members"][1]["curve"].i(), 2);
    EXPECT_EQ(j["members"][1]["A"].f(), 0.008f);
    EXPECT_EQ(j["members"][1]["B"].f(), 1.72f);
    EXPECT_EQ(j["members"][1]["C"].f(), 1.57f);
    const std::string tbFile = dir.path("tb.SHA");
    ASSERT_EQ(runCli({"save-result", path, tbFile, "--standard", "tb", "--curve", "pebble"}).status,
              0);
    const RunResult again = runCli({"evaluate", tbFile, "--json"});
    ASSERT_EQ(again.status, 0) << again.err;
    const Json cecs = parseJson(again.out);
    EXPECT_EQ(cecs["members"][0]["curve"].i(), 1);
    EXPECT_EQ(cecs["members"][0]["A"].f(), 0.0056f);
    EXPECT_EQ(cecs["members"][0]["C"].f(), 1.769f);

    j = evaluate({"--abc", "0.02,1.5,1.6", "--eta", "1.2"});
    const Json& m = j["members"][0];
    EXPECT_EQ(m["curve"].i(), 0);
    EXPECT_EQ(m["A"].f(), 0.02f);
    EXPECT_EQ(j["project"]["ETA"].f(), 1.2f);
    EXPECT_EQ(m["areas"][1]["ETA"].f(), 1.2f);
    EXPECT_NEAR(m["areas"][1]["FCUI"].f(), cecsCrushed(4.0, 40.0, {0.02, 1.5, 1.6}, 1.2),
                kStrengthTolerance);
}

TEST_F(EvaluateTest, TableShowsDisplayFormats) {
    const RunResult r = runCli({"evaluate", path});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("梁A"), std::string::npos);
    EXPECT_NE(r.out.find("27.5"), std::string::npos);
    EXPECT_NE(r.out.find("4.136"), std::string::npos); // corrected velocity "%.3f"
    char mean[64];
    const std::vector<double> all = {cecsCrushed(4.0f, 27.5f), cecsCrushed(4.0f, 40.0f),
                                     cecsCrushed(1.034f * 4.0f, 30.0f), cecsCrushed(4.0f, 35.0f),
                                     cecsCrushed(4.0f, 45.0f)};
    std::snprintf(mean, sizeof mean, "强度换算平均值：%.1f", meanOf(all));
    EXPECT_NE(r.out.find(mean), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("强度推定值：平均值<25.0"), std::string::npos);
}

} // namespace

// The beta/lambda rule is the job's: a raw file of same-side tests on the top face computes with
// beta 1.05 whatever the file's beta, as the screens do (v = 4 km/s, so va = 4.2).
TEST(EvaluateRule, SameSideTopFaceUsesTheRulesBeta) {
    ScratchDir dir;
    JobBuilder job;
    job.member(u"梁A").area(same(40));
    job.job().project.Method = tavolin::MethodSameSide;
    job.job().project.SPOT = u"顶面";
    job.job().project.BETA = 1.0f;
    const std::string path = dir.path("top.SHT");
    ASSERT_EQ(tavolin::WriteRawFile(path, job.build()), u"");
    const RunResult r = runCli({"evaluate", path, "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const Json j = parseJson(r.out);
    const Json& area = j["members"][0]["areas"][0];
    EXPECT_EQ(area["TESTLOC"].text, "顶面");
    EXPECT_EQ(area["BETA"].f(), 1.05f);
    EXPECT_EQ(area["correctedVelocity"].f(), 4.0f * 1.05f);
}
