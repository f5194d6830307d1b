// Helpers of the file-format tests: scratch folders, byte files, and jobs built in memory.
#pragma once

#include "data/datafile.h"
#include "data/textcodec.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>

namespace tavolin::testing {

// A fresh folder under the system's temporary folder, removed with everything in it.
class ScratchDir {
public:
    ScratchDir() {
        std::random_device rd;
        const auto base = std::filesystem::temp_directory_path();
        for (;;) {
            dir_ = base / ("tavolin-files-" + std::to_string(rd()));
            if (std::filesystem::create_directory(dir_))
                break;
        }
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::permissions(dir_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(dir_, ec);
    }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    const std::filesystem::path& dir() const { return dir_; }

private:
    std::filesystem::path dir_;
};

inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The text of a data file as UTF-8, for readable comparisons.
inline std::string readText(const std::string& path) {
    return utf16ToUtf8(gbkToUtf16(readBytes(path)));
}

// A waveform with a recognisable shape: every value depends on the point and the sample index.
inline std::vector<uint16_t> waveform(int datLen, int seed) {
    std::vector<uint16_t> s(static_cast<size_t>(datLen));
    for (int i = 0; i < datLen; ++i)
        s[static_cast<size_t>(i)] = static_cast<uint16_t>((i * 37 + seed * 101) % 4096);
    return s;
}

// A job of `members` members with `areas` test areas each; values differ per member and area.
inline JobData makeJob(int members, int areas, int datLen) {
    JobData job;
    job.project.SITE = u"某桥梁工程";
    job.project.DATE = u"2009-5-6";
    job.project.UNIT = u"检测中心";
    job.project.PERSON = u"张三";
    job.project.INST = u"VEK-100";
    job.project.Molddate = u"2009-1-2";
    job.project.Method = MethodOpposite;
    job.project.SPOT = u"梁底";
    job.project.LAMDA = 1.05f;
    job.project.BETA = 1.25f;
    job.project.ETA = 0.95f;
    for (int m = 0; m < members; ++m) {
        MemberInfo mi;
        mi.SI = m;
        mi.PILEID = u"构件" + utf8ToUtf16(std::to_string(m + 1));
        mi.DatLen = datLen + 128 * m;
        // Sample intervals that the written precision holds exactly.
        mi.dT = m % 3 == 0 ? 0.5f : (m % 3 == 1 ? 1.0f : 2.0f);
        mi.A = 0.0162f;
        mi.B = 1.656f;
        mi.C = 1.41f;
        job.members.push_back(mi);
        SectionPara p;
        p.SI = m;
        p.CrossD = 12.5f;
        p.Gain = 80.0f;
        p.T0 = 1.25f;
        p.dT = mi.dT;
        p.Delay = 2.0f;
        p.DatLen = mi.DatLen;
        p.FiltL = 10.0f;
        p.FiltH = 200.0f;
        p.Sen_dH = 0.5f;
        job.sections.push_back(p);
        AreaList list;
        for (int k = 0; k < areas; ++k) {
            TestArea a;
            a.SI = m;
            a.RATNO = k + 1;
            a.dT = mi.dT;
            a.Delay = 2.0f;
            for (int j = 0; j < 3; ++j) {
                TestPoint& p = a.points[static_cast<size_t>(j)];
                p.index = j;
                p.samples = waveform(mi.DatLen, m * 100 + k * 3 + j);
                p.rawSamples = p.samples;
                p.Gain = 80.0f;
                p.L = 200.0f + static_cast<float>(j);
                p.Delay = 2.0f;
                p.arrivalIndex = 100 + j + k;
                p.ampIndex = 150 + j + k;
            }
            for (int r = 0; r < 16; ++r)
                a.R[static_cast<size_t>(r)] = 30 + (r + k + m) % 15;
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
            list.push_back(a);
        }
        job.areas.push_back(list);
    }
    job.memberCount = members;
    job.result.MF = 32.4f;
    job.result.SF = 2.37f;
    job.result.FCUE = 28.6f;
    job.hasResult = true;
    return job;
}

// Lines of a data file's text, without their CR LF.
inline std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            if (start < text.size())
                out.push_back(text.substr(start));
            break;
        }
        out.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return out;
}

} // namespace tavolin::testing
