// The one builder of test jobs.
#include "support/jobbuilder.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "data/textcodec.h"

namespace tavolin::testing {

std::array<int, 16> same(int reading) {
    std::array<int, 16> r;
    r.fill(reading);
    return r;
}

std::array<int, 16> ascending(int first) {
    std::array<int, 16> r;
    for (int k = 0; k < 16; ++k)
        r[static_cast<size_t>(k)] = first + k;
    return r;
}

std::vector<uint16_t> noisyWaveform(uint32_t seed, const Geometry& g) {
    std::vector<uint16_t> s(static_cast<size_t>(g.datLen));
    for (int i = 0; i < g.datLen; ++i) {
        seed = seed * 1664525u + 1013904223u;
        s[static_cast<size_t>(i)] =
            static_cast<uint16_t>(2048 + static_cast<int>(seed >> 24) % 401 - 200);
    }
    if (g.ampIndex >= 0 && g.ampIndex < g.datLen)
        s[static_cast<size_t>(g.ampIndex)] = static_cast<uint16_t>(2048 + g.peak);
    return s;
}

std::vector<uint16_t> pulseWaveform(const Pulse& p) {
    std::mt19937 rng(p.seed);
    std::normal_distribution<double> gauss(0.0, 1.0);
    const double period = 1000.0 / (p.kHz * p.dT); // samples
    const double rise = p.rise * period, tau = p.decay * period;
    std::vector<double> pulse(static_cast<size_t>(std::max(0, p.datLen)), 0.0);
    double top = 0;
    for (int i = 0; i < p.datLen; ++i) {
        const double t = i - p.onset;
        if (t <= 0)
            continue;
        const double env = t < rise ? t / rise : std::exp(-(t - rise) / tau);
        pulse[static_cast<size_t>(i)] = env * std::sin(2 * M_PI * t / period);
        top = std::max(top, std::fabs(pulse[static_cast<size_t>(i)]));
    }
    std::vector<uint16_t> s(pulse.size());
    for (int i = 0; i < p.datLen; ++i) {
        const double v = 2048 + p.offset + p.driftPerSample * i +
                         p.polarity * p.peak * pulse[static_cast<size_t>(i)] / top +
                         p.noise * gauss(rng);
        s[static_cast<size_t>(i)] = static_cast<uint16_t>(std::clamp(std::lround(v), 0L, 4095L));
    }
    return s;
}

std::vector<uint16_t> waveform(int datLen, int seed) {
    std::vector<uint16_t> s(static_cast<size_t>(datLen));
    for (int i = 0; i < datLen; ++i)
        s[static_cast<size_t>(i)] = static_cast<uint16_t>((i * 37 + seed * 101) % 4096);
    return s;
}

JobBuilder::JobBuilder() {
    job_.project.SITE = u"检测\"工程\"\\A";
    job_.project.UNIT = u"质检站";
    job_.project.PERSON = u"张三";
    job_.project.DATE = u"2023-5-6";
    job_.project.Molddate = u"2023-3-1";
    job_.project.Delay = g_.delay;
    job_.project.Method = MethodOpposite;
    job_.memberCount = 0;
    job_.hasResult = true;
}

JobBuilder& JobBuilder::geometry(const Geometry& g) {
    g_ = g;
    job_.project.Delay = g.delay;
    return *this;
}

JobBuilder& JobBuilder::member(const std::u16string& name) {
    const int si = static_cast<int>(job_.members.size());
    MemberInfo m;
    m.SI = si;
    m.PILEID = name;
    m.DatLen = g_.datLen;
    m.dT = g_.dT;
    job_.members.push_back(m);
    SectionPara s;
    s.SI = si;
    s.dT = g_.dT;
    s.Delay = g_.delay;
    s.DatLen = g_.datLen;
    s.Gain = g_.gain;
    job_.sections.push_back(s);
    job_.areas.emplace_back();
    job_.memberCount = static_cast<int>(job_.members.size());
    return *this;
}

JobBuilder& JobBuilder::area(const std::array<int, 16>& readings) {
    if (job_.members.empty())
        member(u"构件1");
    AreaList& list = job_.areas.back();
    const int si = static_cast<int>(job_.members.size()) - 1;
    list.push_back(makeArea(si, static_cast<int>(list.size()) + 1, readings));
    return *this;
}

JobBuilder& JobBuilder::areas(int count, const std::array<int, 16>& readings) {
    for (int k = 0; k < count; ++k)
        area(readings);
    return *this;
}

JobBuilder& JobBuilder::members(int count, int areasEach, const std::u16string& prefix) {
    for (int m = 0; m < count; ++m) {
        member(prefix + utf8ToUtf16(std::to_string(m + 1)));
        for (int k = 0; k < areasEach; ++k)
            area(same(30 + k));
    }
    return *this;
}

TestArea JobBuilder::makeArea(int si, int ratno, const std::array<int, 16>& readings) const {
    TestArea a;
    a.SI = si;
    a.RATNO = ratno;
    a.dT = g_.dT;
    a.Delay = g_.delay;
    a.TMETHOD = MethodOpposite;
    a.R = readings;
    for (int j = 0; j < 3; ++j) {
        TestPoint& p = a.points[static_cast<size_t>(j)];
        p.index = j;
        p.samples = noisyWaveform(static_cast<uint32_t>(si * 1000 + ratno * 10 + j), g_);
        p.rawSamples = p.samples;
        p.Gain = g_.gain;
        p.arrivalIndex = g_.arrival + j * g_.arrivalStep;
        p.ampIndex = g_.ampIndex;
        p.L = g_.L;
        p.Delay = g_.delay;
    }
    return a;
}

JobData makeJob(int members, int areas, int datLen) {
    JobBuilder builder;
    JobData& job = builder.job();
    job.project.SITE = u"某桥梁工程";
    job.project.DATE = u"2009-5-6";
    job.project.UNIT = u"检测中心";
    job.project.PERSON = u"张三";
    job.project.INST = u"VEK-100";
    job.project.Molddate = u"2009-1-2";
    job.project.Delay = 0.0f;
    job.project.Method = MethodOpposite;
    job.project.SPOT = u"梁底";
    job.project.LAMDA = 1.05f;
    job.project.BETA = 1.25f;
    job.project.ETA = 0.95f;
    for (int m = 0; m < members; ++m) {
        Geometry g;
        g.datLen = datLen + 128 * m;
        // Sample intervals that the written precision holds exactly.
        g.dT = m % 3 == 0 ? 0.5f : (m % 3 == 1 ? 1.0f : 2.0f);
        g.delay = 2.0f;
        g.gain = 80.0f;
        builder.geometry(g).member(u"构件" + utf8ToUtf16(std::to_string(m + 1)));
        SectionPara& p = job.sections.back();
        p.CrossD = 12.5f;
        p.T0 = 1.25f;
        p.FiltL = 10.0f;
        p.FiltH = 200.0f;
        p.Sen_dH = 0.5f;
        for (int k = 0; k < areas; ++k) {
            std::array<int, 16> r;
            for (int i = 0; i < 16; ++i)
                r[static_cast<size_t>(i)] = 30 + (i + k + m) % 15;
            builder.area(r);
            TestArea& a = builder.lastArea();
            for (int j = 0; j < 3; ++j) {
                TestPoint& pt = a.points[static_cast<size_t>(j)];
                pt.samples = waveform(g.datLen, m * 100 + k * 3 + j);
                pt.rawSamples = pt.samples;
                pt.L = 200.0f + static_cast<float>(j);
                pt.arrivalIndex = 100 + j + k;
                pt.ampIndex = 150 + j + k;
            }
            a.RA = 36.0f + static_cast<float>(k);
            a.LAMDA = 1.1f;
            a.BETA = 1.025f;
            a.ETA = 0.9f;
            a.ANGLE = k % 2 ? -45 : 30;
            a.ANGLEAM = -2.5f;
            a.PLANE = k % 3;
            a.PLANEAM = 1.2f;
            a.CARBON = 1.5f + static_cast<float>(k);
            a.FCUI = 30.1f + static_cast<float>(k + m);
            a.TMETHOD = k % 3;
            a.TESTLOC = k % 2 ? u"左侧" : u"ABCD";
        }
    }
    job.memberCount = members;
    job.result.MF = 32.4f;
    job.result.SF = 2.37f;
    job.result.FCUE = 28.6f;
    job.hasResult = true;
    return builder.build();
}

JobData twoMemberJob() {
    JobBuilder job;
    job.member(u"梁A").area(same(40)).area(same(30)).area(ascending());
    job.member(u"柱B").area(same(35)).area(same(45));
    return job.build();
}

} // namespace tavolin::testing
