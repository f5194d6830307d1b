// Synthesis of instrument jobs: ultrasonic waveforms whose first arrival fits path and velocity,
// rebound data of real sites, evaluated through the command line's own evaluation.
#include "samplegen_lib.h"

#include "calc/algorithm.h"
#include "calc/correctiontables.h"
#include "data/datafile.h"
#include "data/evaluation.h"
#include "data/jobeval.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tavolin::samplegen {

namespace {

constexpr float kDelay = 4.0f; // acquisition delay, us; whole microseconds survive the files
constexpr double kPi = 3.14159265358979323846;

// splitmix64: the same stream on every platform and library, unlike the std distributions.
class Rng {
public:
    explicit Rng(uint64_t seed) : state_(seed) {}
    uint64_t next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double uniform() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }
    double uniform(double lo, double hi) { return lo + (hi - lo) * uniform(); }
    int integer(int lo, int hi) { // inclusive
        return lo + static_cast<int>(next() % static_cast<uint64_t>(hi - lo + 1));
    }
    double normal() { // Box-Muller
        double u1 = uniform();
        if (u1 < 1e-300)
            u1 = 1e-300;
        return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * kPi * uniform());
    }
    template <class T, size_t N> const T& pick(const T (&items)[N]) { return items[next() % N]; }

private:
    uint64_t state_;
};

std::u16string ascii(const std::string& s) {
    return std::u16string(s.begin(), s.end());
}

// The cursor index the reader gets back from a time written with one decimal.
int afterFileRoundTrip(int index, float dT, float delay) {
    const float t = static_cast<float>(index) * dT + delay;
    char text[64];
    std::snprintf(text, sizeof text, "%.1f", static_cast<double>(t));
    const float back = std::strtof(text, nullptr);
    return static_cast<int>((back - delay) / dT);
}

// The nearest index at or after `index` that reads back as itself, so the file keeps the pick.
int stableIndex(int index, float dT, float delay, int limit) {
    for (int k = index; k < std::min(limit, index + 4); ++k)
        if (afterFileRoundTrip(k, dT, delay) == k)
            return k;
    return index;
}

float twoDecimals(float x) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(x));
    return std::strtof(text, nullptr);
}

struct PointWave {
    std::vector<uint16_t> samples;
    int arrivalIndex = 0;
    int ampIndex = 0;
};

// Small noise, then at the transit time a fast-rising, slowly decaying ~50 kHz oscillation.
PointWave synthesise(Rng& rng, int datLen, float dT, float transit) {
    const double frequencyKHz = 50.0 * rng.uniform(0.92, 1.08);
    const double period = 1000.0 / frequencyKHz; // us
    const double amplitude = rng.uniform(700.0, 1600.0);
    const double rise = rng.uniform(3.0, 6.0);
    const double decay = rng.uniform(60.0, 110.0);
    const double polarity = 1.0;

    PointWave w;
    w.samples.resize(static_cast<size_t>(datLen));
    for (int i = 0; i < datLen; ++i) {
        const double t = static_cast<double>(i) * dT + kDelay;
        const double tau = t - transit;
        double x = 0.0;
        if (tau > 0.0)
            x = polarity * amplitude * (1.0 - std::exp(-tau / rise)) * std::exp(-tau / decay) *
                std::sin(2.0 * kPi * tau / period);
        x += rng.normal() * (tau > 0.0 ? 5.0 : 2.5);
        const double code = std::clamp(std::round(2048.0 + x), 0.0, 4095.0);
        w.samples[static_cast<size_t>(i)] = static_cast<uint16_t>(code);
    }

    // The first sample at or after the arrival, as an operator would pick it.
    int arrival = static_cast<int>(std::ceil((transit - kDelay) / dT));
    arrival = std::clamp(arrival, 0, datLen - 1);
    arrival = stableIndex(arrival, dT, kDelay, datLen);
    // The amplitude cursor on the first lobe's peak.
    const int lobeEnd =
        std::min(datLen - 1, arrival + std::max(1, static_cast<int>(period / 2.0 / dT)));
    int peak = arrival;
    for (int i = arrival; i <= lobeEnd; ++i)
        if (std::abs(w.samples[i] - 2048) > std::abs(w.samples[peak] - 2048))
            peak = i;
    w.arrivalIndex = arrival;
    w.ampIndex = stableIndex(peak, dT, kDelay, datLen);
    return w;
}

std::u16string memberName(int i) {
    const bool column = i % 2 == 0;
    return ascii(std::to_string(i / 2 + 1)) + (column ? u"层柱KZ" : u"层梁KL") +
           ascii(std::to_string(i + 1));
}

ProjectInfo projectInfo(bool result) {
    ProjectInfo p;
    p.INST = u"VEK-CH3";
    p.SITE = u"滨江花园3号楼主体结构工程";
    p.DATE = u"2023-5-16";
    p.UNIT = u"江南市建设工程质量检测中心";
    p.PERSON = u"李明、王芳";
    if (result)
        p.Molddate = u"2023-3-20";
    p.Delay = kDelay;
    p.Method = MethodOpposite;
    p.SPOT = u"梁柱侧面";
    p.BETA = 1.0f;
    p.LAMDA = 1.0f;
    p.ETA = 1.0f;
    return p;
}

// Test method, face, angle and the velocity factors that go with them, as entered on site.
void siteConditions(Rng& rng, TestArea& a, double memberRebound) {
    const double m = rng.uniform();
    a.TMETHOD = m < 0.6 ? MethodOpposite : (m < 0.85 ? MethodSameSide : MethodCorner);
    const double f = rng.uniform();
    a.PLANE = f < 0.1 ? FaceNone : (f < 0.6 ? FaceSide : (f < 0.8 ? FaceTop : FaceBottom));
    static const int sideAngles[] = {0, 0, 0, 0, 30, -30, 45, -45, 60, -60};
    a.ANGLE = a.PLANE == FaceTop ? -90 : (a.PLANE == FaceBottom ? 90 : rng.pick(sideAngles));
    const bool topOrBottom = a.PLANE == FaceTop || a.PLANE == FaceBottom;
    a.LAMDA = 1.0f;
    a.BETA = 1.0f;
    if (a.TMETHOD == MethodSameSide)
        a.BETA = a.PLANE == FaceTop ? 1.05f : (a.PLANE == FaceBottom ? 0.95f : 1.0f);
    else if (a.TMETHOD == MethodOpposite && topOrBottom)
        a.BETA = 1.034f;
    static const float carbon[] = {0.0f, 0.5f, 1.0f, 1.5f, 2.0f};
    a.CARBON = rng.pick(carbon);
    static const char16_t* const locations[] = {u"左侧面", u"右侧面", u"跨中", u"梁端",
                                                u"柱顶",   u"柱底",   u"北侧", u"南侧"};
    a.TESTLOC = rng.pick(locations);
    // One pour varies little from area to area; readings scatter around the area's value.
    const double base = std::clamp(memberRebound + rng.normal() * 1.5, 30.0, 45.0);
    for (int& r : a.R)
        r = std::clamp(static_cast<int>(std::lround(base + rng.normal() * 1.8)), 20, 60);
}

} // namespace

std::string checkSpec(const SampleSpec& s) {
    if (s.members < 1 || s.members > 100)
        return "构件数应为 1 到 100（文件中构件号占两位）";
    if (!s.result && s.members != 1)
        return "声波原始文件只含一个构件";
    if (s.areas < 1 || s.areas > 999)
        return "每个构件的测区数应为 1 到 999";
    if (s.datLen < 64 || s.datLen > 1000000)
        return "波形长度应为 64 到 1000000";
    if (!(s.dT >= 0.05f && s.dT <= 10.0f))
        return "采样间隔应为 0.05 到 10 us";
    if (static_cast<double>(s.datLen) * s.dT < 100.0)
        return "波形时长（波形长度 × 采样间隔）至少应为 100 us";
    if (s.standard != 0 && s.standard != 1)
        return "规范只能是 0（CECS 02:2005）或 1（TB 10426-2004）";
    return {};
}

JobData generateJob(const SampleSpec& spec) {
    Rng rng(spec.seed);
    // The files keep dT with two decimals: use exactly what the reader will get back.
    const float dT = twoDecimals(spec.dT);
    const double window = static_cast<double>(spec.datLen) * dT;

    JobData job;
    job.project = projectInfo(spec.result);
    job.memberCount = spec.members;
    job.hasResult = spec.result;
    // One batch is one concrete grade: members scatter a little around its rebound level.
    const double batchRebound = rng.uniform(35.0, 40.0);
    for (int i = 0; i < spec.members; ++i) {
        const bool column = i % 2 == 0;
        MemberInfo member;
        member.SI = i;
        member.PILEID = memberName(i);
        member.DatLen = spec.datLen;
        member.dT = dT;
        member.curve = i % 3 == 2 ? CurvePebble : CurveCrushed;
        curveCoefficients(spec.standard, member.curve, member.A, member.B, member.C);

        // Path length: the member's thickness, kept to the first half of the record.
        double thickness = column ? rng.uniform(400.0, 600.0) : rng.uniform(250.0, 400.0);
        thickness = std::clamp(thickness, 50.0, (kDelay + 0.45 * window) * 3.5);
        const double memberVelocity = rng.uniform(3.9, 4.5);
        const double memberRebound = batchRebound + rng.normal() * 1.2;
        static const float gains[] = {10.0f, 20.0f, 40.0f};
        const float gain = rng.pick(gains);

        SectionPara section;
        section.SI = i;
        section.CrossD = static_cast<float>(std::round(thickness));
        section.Gain = gain;
        section.dT = dT;
        section.Delay = kDelay;
        section.DatLen = spec.datLen;
        job.sections.push_back(section);

        AreaList areas;
        areas.reserve(static_cast<size_t>(spec.areas));
        for (int k = 0; k < spec.areas; ++k) {
            TestArea a;
            a.SI = i;
            a.RATNO = k + 1;
            a.dT = dT;
            a.Delay = kDelay;
            a.ETA = job.project.ETA;
            if (spec.result) {
                siteConditions(rng, a, memberRebound);
            } else {
                // What the reader gives every area of a raw file.
                a.R.fill(35);
                a.TMETHOD = job.project.Method;
                a.BETA = job.project.BETA;
                a.LAMDA = job.project.LAMDA;
                a.TESTLOC = job.project.SPOT;
            }
            const double areaVelocity =
                std::clamp(memberVelocity + rng.normal() * 0.08, 3.55, 4.75);
            for (int j = 0; j < 3; ++j) {
                TestPoint& p = a.points[static_cast<size_t>(j)];
                p.index = j;
                p.Gain = gain;
                p.Delay = kDelay;
                p.L =
                    static_cast<float>(std::max(20.0, std::round(thickness + rng.normal() * 2.0)));
                const double v = std::clamp(areaVelocity + rng.normal() * 0.04, 3.5, 4.8);
                PointWave w = synthesise(rng, spec.datLen, dT, static_cast<float>(p.L / v));
                p.arrivalIndex = w.arrivalIndex;
                p.ampIndex = w.ampIndex;
                p.rawSamples = w.samples;
                p.samples = std::move(w.samples);
            }
            areas.push_back(std::move(a));
        }
        job.members.push_back(member);
        job.areas.push_back(std::move(areas));
    }
    if (spec.result == false) {
        // An instrument's raw file carries two acquisition lines.
        SectionPara second = job.sections.front();
        second.SI = 1;
        job.sections.push_back(second);
    }

    // The same derived values as on open, then the same evaluation as the command line.
    CorrectionTables tables;
    std::unique_ptr<CAlgorithm> algorithm = makeAlgorithm(spec.standard, tables);
    for (auto& areas : job.areas)
        for (TestArea& a : areas)
            computeAreaDerived(a, *algorithm);
    if (spec.result) {
        const JobEvaluation e = evaluateJob(job, *algorithm, spec.standard, {});
        for (size_t m = 0; m < job.areas.size(); ++m)
            for (size_t k = 0; k < job.areas[m].size(); ++k)
                job.areas[m][k].RA = e.areas[m][k].correctedRebound;
    }
    return job;
}

std::u16string writeJob(const std::string& path, const JobData& job, bool result) {
    return result ? WriteResultFile(path, job) : WriteRawFile(path, job);
}

} // namespace tavolin::samplegen
