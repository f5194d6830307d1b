// tavolin-cli autopick: the suggestion of every point with a waveform as JSON and as a table, and
// the job saved with the confident ones applied.
#include "harness.h"

#include "data/doc.h"

using namespace clitest;

namespace {

// Member "梁1": area 1 has pulses starting at samples 300 and 250, area 2 at 200 and 420; the
// other two points have the builder's noise (no pulse).
std::string writePulseJob(const ScratchDir& dir) {
    Geometry g;
    g.datLen = 1024;
    g.dT = 0.4f;
    g.delay = 5.0f;
    JobBuilder job;
    job.geometry(g).member(u"梁1").areas(2, same(35));
    auto set = [&](int area, int point, double onset) {
        tavolin::TestPoint& p = job.job().areas[0][area].points[point];
        p.samples = pulseWaveform({.onset = onset, .noise = 6, .seed = uint32_t(area * 3 + point)});
        p.rawSamples = p.samples;
    };
    set(0, 0, 300);
    set(0, 1, 250);
    set(1, 1, 200);
    set(1, 2, 420);
    const std::string path = dir.path("pulses.SHA");
    EXPECT_EQ(tavolin::WriteResultFile(path, job.build()), u"");
    return path;
}

// area, point (from 1) and the known start; 0 for the point without a pulse.
constexpr struct {
    int area, point;
    double onset;
} kPoints[] = {{1, 1, 300}, {1, 2, 250}, {1, 3, 0}, {2, 1, 0}, {2, 2, 200}, {2, 3, 420}};

} // namespace

TEST(Autopick, JsonListsEveryPointWithAWaveform) {
    ScratchDir dir;
    const RunResult r = runCli({"autopick", writePulseJob(dir), "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    Json doc;
    ASSERT_TRUE(JsonParser(r.out).parse(doc)) << r.out;
    const Json& points = doc["points"];
    ASSERT_EQ(points.items.size(), std::size(kPoints));
    for (size_t k = 0; k < std::size(kPoints); ++k) {
        const Json& p = points[k];
        EXPECT_EQ(p["member"].i(), 1);
        EXPECT_EQ(p["area"].i(), kPoints[k].area);
        EXPECT_EQ(p["point"].i(), kPoints[k].point);
        if (kPoints[k].onset == 0) {
            EXPECT_LT(p["confidence"].f(), 0.5f);
            continue;
        }
        const int index = p["index"].i();
        EXPECT_NEAR(index, kPoints[k].onset, 2.0);
        // index * dT + delay in single precision.
        EXPECT_EQ(p["time_us"].f(), static_cast<float>(index) * 0.4f + 5.0f);
        EXPECT_GE(p["confidence"].f(), 0.5f);
    }
}

TEST(Autopick, TableAndAppliedCopy) {
    ScratchDir dir;
    const std::string out = dir.path("applied.SHA");
    const RunResult r = runCli({"autopick", writePulseJob(dir), "--apply", out});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("需人工判读"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("6 个测点，2 个测点需人工判读"), std::string::npos) << r.out;

    tavolin::CTavolinDoc applied;
    ASSERT_EQ(applied.open(out), u"");
    for (const auto& k : kPoints) {
        const tavolin::TestPoint& p = applied.area(0, k.area - 1)->points[k.point - 1];
        if (k.onset == 0) {
            EXPECT_EQ(p.arrivalIndex, Geometry{}.arrival); // not confident: the stored pick
        } else {
            EXPECT_NEAR(p.arrivalIndex, k.onset, 2.0);
        }
    }
    // Bad usage: no file.
    EXPECT_EQ(runCli({"autopick"}).status, 2);
}
