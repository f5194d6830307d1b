// Reader of the raw (.SHT) and result (.SHA) file pairs: one step per section of the text.
//
// Choices where the format itself says nothing:
// - A missing key or column heading reads as an empty value: text keys give "", numeric keys 0
//   (β then 1), table fields leave their target unchanged.
// - A "Method   :" word other than 角测/平测/对测 (or none) leaves `Method` at 0.
// - Headings are looked up from their section's title on (falling back to the whole text), so a
//   project text that happens to contain a heading cannot capture a column.
// - A waveform must lie wholly inside the companion, and all waveforms together may not need more
//   bytes than it has; otherwise "读取SHD文件异常!". A `DatLen` of 0 or less with data lines
//   present is the same fault. This bounds memory by the companion's size.
// - Positions in the companion are read as 64-bit numbers (the column holds 12 digits).
// - Only blanks and line ends after the last data line of RayPara end the table like the end
//   of the text does.
// - Members after the first of a raw file (a raw file with a StrengthNum block) share the first
//   member's sample interval and waveform length: a raw file carries one acquisition setting.
// - Areas of a file that is not raw keep the new-area λ, β and method unless ResultPara gives
//   them; their η starts as the project's.
// - The 20-character limit of numbers counts the characters of the ANSI (GBK) form.
// - A LF without CR reads as CR LF; zero bytes read as blanks; undecodable bytes as U+FFFD.
// - A text with a UTF-8 byte-order mark, or one that is valid UTF-8 with characters beyond
//   ASCII, is read as UTF-8 (GBK Chinese text practically never is valid UTF-8).
// - StrengthNum without the key of member 0 gives a job of no members.
// - A RayPara line whose SI is that of any later member (not only the next) ends a member, so
//   that members without test areas (a merge may make them) do not take the next one's lines.
// - A key that occurs inside the line of an earlier numbered key of StrengthNum ends that key's
//   value (such a file has lost its line ends): otherwise thousands of keys on one line would
//   each take the rest of the line, and the values alone would grow with the square of the file.
// - The file type is decided on the file name, not on the folders above it, in any case of
//   letters; a name with both ".SHT" and ".SHA" is a raw file, as for saving.
#include "data/datafile.h"

#include "data/corefile.h"

#include "data/fieldreader.h"
#include "data/fileinput.h"
#include "data/labels.h"
#include "data/numparse.h"
#include "data/textcodec.h"
#include "data/waveload.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace tavolin {

std::string companionPath(const std::string& path) {
    if (path.empty())
        return path;
    std::string out = path;
    out.back() = out.back() >= 'a' && out.back() <= 'z' ? 'd' : 'D';
    return out;
}

namespace {

// The file name: what follows the last separator.
std::string_view fileName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string_view(path)
                                      : std::string_view(path).substr(slash + 1);
}

} // namespace

namespace {

// Whether the file name contains `upper` (an upper-case ASCII text) in any case of letters.
bool nameContains(const std::string& path, std::string_view upper) {
    const std::string_view name = fileName(path);
    const auto same = [](char a, char b) { return (a >= 'a' && a <= 'z' ? a - 32 : a) == b; };
    return std::search(name.begin(), name.end(), upper.begin(), upper.end(), same) != name.end();
}

} // namespace

bool isRawPath(const std::string& path) {
    return nameContains(path, ".SHT");
}
bool isResultPath(const std::string& path) {
    return nameContains(path, ".SHA");
}

namespace {

const std::u16string kOpenFailed = u"打开文件失败！";
const std::u16string kEmptyFile = u"文件为空!";
const std::u16string kShdFailed = u"读取SHD文件异常!";

constexpr int kSectionStride = 118;
constexpr int kRayStride = 140;
constexpr int kResultStride = 170;
constexpr int kRaySeekOffset = 78; // where the Seek column starts inside a RayPara line

// clang-format off
// Every key, section title and column heading the reader uses, found in one pass over the text.
enum Key : int {
    kDATE, kPERSON, kSITE, kUNIT, kINST, kMethod, kSPOT, kLAMDA, kBETA, kETA, kMolddate, kPILEID,
    kSectNum, kMF, kSF, kFCUE,
    kStrengthNum, kSectionPara, kRayPara, kResult, kResultPara,
    kSecSI, kSecCrossD, kSecGain, kSecT0, kSecDT, kSecDelay, kSecDatLen, kSecFiltL, kSecFiltH,
    kSecSenDH, kSecA, kSecB, kSecC,
    kRaySI, kRayRATNO, kRayL, kRayT, kRayTa, kRaySeek, kRayGain, kRayDelay, kRayR,
    kResR1, // R1 .. R16 follow in order
    kResRA = kResR1 + 16, kResLAMDA, kResBETA, kResETA, kResANGLE, kResANGLEAM, kResPLANE,
    kResPLANEAM, kResCARBON, kResFCUI, kResTMETHOD, kResTESTLOC,
    kKeyCount
};

// Headings are looked up from their section's title on (see above).
constexpr ScanPattern kPatterns[kKeyCount] = {
    {u"DATE     :"}, {u"PERSON   :"}, {u"SITE     :"}, {u"UNIT     :"}, {u"INST     :"},
    {u"Method   :"}, {u"SPOT     :"}, {u"λ       :"}, {u"β       :"}, {u"η       :"},
    {u"Molddate :"}, {u"PILEID   :"}, {u"SectNum  :"}, {u"MF       :"}, {u"SF       :"},
    {u"FCUE     :"},
    {u"PODUX_CrsHlDat_StrengthNum:"}, {u"PODUX_CrsHlDat_SectionPara:"},
    {u"PODUX_CrsHlDat_RayPara:"}, {u"PODUX_CrsHlDat_Result:"}, {u"PODUX_CrsHlDat_ResultPara:"},
    {u"SI    CrossD", kSectionPara}, {u"  CrossD", kSectionPara}, {u"    Gain", kSectionPara},
    {u"  T0(us)", kSectionPara}, {u"  dT(us)", kSectionPara}, {u"   Delay", kSectionPara},
    {u"  DatLen", kSectionPara}, {u"   FiltL", kSectionPara}, {u"   FiltH", kSectionPara},
    {u"  Sen_dH", kSectionPara}, {u"       A", kSectionPara}, {u"       B", kSectionPara},
    {u"       C", kSectionPara},
    {u"SI   RATNO", kRayPara}, {u"   RATNO", kRayPara}, {u"       L", kRayPara},
    {u"   T(us)", kRayPara}, {u"  Ta(us)", kRayPara}, {u"    Seek", kRayPara},
    {u"    Gain   Delay", kRayPara}, {u"   Delay       R", kRayPara}, {u"       R", kRayPara},
    {u"  R1", kResultPara}, {u"  R2", kResultPara}, {u"  R3", kResultPara},
    {u"  R4", kResultPara}, {u"  R5", kResultPara}, {u"  R6", kResultPara},
    {u"  R7", kResultPara}, {u"  R8", kResultPara}, {u"  R9", kResultPara},
    {u" R10", kResultPara}, {u" R11", kResultPara}, {u" R12", kResultPara},
    {u" R13", kResultPara}, {u" R14", kResultPara}, {u" R15", kResultPara},
    {u" R16", kResultPara}, {u"  RA", kResultPara}, {u"   LAMDA", kResultPara},
    {u"    BETA", kResultPara}, {u"     ETA", kResultPara}, {u"   ANGLE", kResultPara},
    {u" ANGLEAM", kResultPara}, {u"   PLANE", kResultPara}, {u" PLANEAM", kResultPara},
    {u"  CARBON", kResultPara}, {u"    FCUI", kResultPara}, {u" TMETHOD", kResultPara},
    {u"   TESTLOC", kResultPara},
};

// clang-format on

// The StrengthNum keys "PILEID%d  :" and "SI%d      :".
enum Numbered : int { kPileKeys, kSiKeys };
constexpr ScanNumbered kNumbered[] = {{u"PILEID", u"  :", 1u << 20}, {u"SI", u"      :", 1u << 20}};

// What one open works on: the text, where its keys are, and the job being filled.
struct Parse {
    const RawText& text;
    const FieldReader& r;
    const ScanResult& found;
    bool raw = false;
    bool result = false;
    JobData& job;

    size_t at(Key k) const { return found.first[k]; }
    std::u16string keyText(Key k) const { return r.keyText(at(k), kPatterns[k].text.size()); }
    float keyFloat(Key k) const { return r.keyFloat(at(k), kPatterns[k].text.size()); }
    int keyInt(Key k) const { return r.keyInt(at(k), kPatterns[k].text.size()); }
    Column column(Key k, int width, int stride) const { return r.column(at(k), width, stride); }
};

void readProject(const Parse& p) {
    ProjectInfo& pi = p.job.project;
    pi = ProjectInfo{};
    pi.DATE = p.keyText(kDATE);
    pi.PERSON = p.keyText(kPERSON);
    pi.SITE = p.keyText(kSITE);
    pi.UNIT = p.keyText(kUNIT);
    pi.INST = p.keyText(kINST);
    const std::u16string method = p.keyText(kMethod);
    if (const int code = codeOf(kMethodLabels, method); code >= 0)
        pi.Method = code;
    pi.SPOT = p.keyText(kSPOT);
    pi.LAMDA = p.keyFloat(kLAMDA);
    pi.BETA = p.keyFloat(kBETA);
    if (pi.BETA == 0.0f)
        pi.BETA = 1.0f;
    pi.ETA = p.keyFloat(kETA);
    if (p.result)
        pi.Molddate = p.keyText(kMolddate);
}

void readMembers(const Parse& p) {
    JobData& job = p.job;
    job.members.clear();
    if (p.at(kStrengthNum) == RawText::npos) {
        MemberInfo m;
        m.PILEID = p.keyText(kPILEID);
        m.SI = p.keyInt(kSectNum);
        job.members.push_back(std::move(m));
    } else {
        // Each key is taken at its first occurrence in the whole text; the members end at the
        // first number whose key does not occur. A missing SI key reads as empty, i.e. 0.
        const std::vector<size_t>& piles = p.found.numbered[kPileKeys];
        const std::vector<size_t>& sis = p.found.numbered[kSiKeys];
        size_t count = 0;
        while (count < piles.size() && piles[count] != RawText::npos)
            ++count;
        std::vector<size_t> starts;
        starts.reserve(2 * count);
        for (size_t i = 0; i < count; ++i) {
            starts.push_back(piles[i]);
            if (i < sis.size() && sis[i] != RawText::npos)
                starts.push_back(sis[i]);
        }
        std::sort(starts.begin(), starts.end());
        auto stopAfter = [&](size_t at) {
            const auto next = std::upper_bound(starts.begin(), starts.end(), at);
            return next == starts.end() ? RawText::npos : *next;
        };
        job.members.reserve(count);
        for (size_t i = 0; i < count; ++i) {
            const size_t digits = std::to_string(i).size();
            MemberInfo m;
            m.PILEID = p.r.keyText(piles[i], 6 + digits + 3, stopAfter(piles[i]));
            if (i < sis.size() && sis[i] != RawText::npos)
                m.SI = p.r.keyInt(sis[i], 2 + digits + 7, stopAfter(sis[i]));
            job.members.push_back(std::move(m));
        }
    }
    job.memberCount = static_cast<int>(job.members.size());
}

// Acquisition values of the members and the SectionPara records.
void readSections(const Parse& p) {
    JobData& job = p.job;
    ProjectInfo& pi = job.project;
    auto col = [&](Key k, int width) { return p.column(k, width, kSectionStride); };
    const Column SI = col(kSecSI, 4), CrossD = col(kSecCrossD, 8), Gain = col(kSecGain, 8),
                 T0 = col(kSecT0, 8), dT = col(kSecDT, 8), Delay = col(kSecDelay, 8),
                 DatLen = col(kSecDatLen, 8), FiltL = col(kSecFiltL, 8), FiltH = col(kSecFiltH, 8),
                 SenDH = col(kSecSenDH, 8), A = col(kSecA, 8), B = col(kSecB, 8), C = col(kSecC, 8);
    const FieldReader& r = p.r;
    if (p.raw) {
        // A raw file carries one acquisition setting: the line of the first member's SI.
        if (!job.members.empty()) {
            MemberInfo& m = job.members.front();
            r.readFloat(Delay, m.SI, pi.Delay);
            r.readFloat(dT, m.SI, m.dT);
            r.readInt(DatLen, m.SI, m.DatLen);
            for (size_t i = 1; i < job.members.size(); ++i) {
                job.members[i].dT = m.dT;
                job.members[i].DatLen = m.DatLen;
            }
        }
    } else {
        for (size_t i = 0; i < job.members.size(); ++i) {
            MemberInfo& m = job.members[i];
            const auto row = static_cast<int64_t>(i);
            r.readFloat(Delay, row, pi.Delay);
            r.readFloat(dT, row, m.dT);
            r.readInt(DatLen, row, m.DatLen);
            if (p.result) {
                r.readFloat(A, row, m.A);
                r.readFloat(B, row, m.B);
                r.readFloat(C, row, m.C);
            }
        }
    }
    const size_t rows = p.raw ? 2 : job.members.size();
    job.sections.assign(rows, SectionPara{});
    for (size_t i = 0; i < rows; ++i) {
        SectionPara& s = job.sections[i];
        const auto row = static_cast<int64_t>(i);
        r.readInt(SI, row, s.SI);
        r.readFloat(CrossD, row, s.CrossD);
        r.readFloat(Gain, row, s.Gain);
        r.readFloat(T0, row, s.T0);
        r.readFloat(dT, row, s.dT);
        r.readFloat(Delay, row, s.Delay);
        r.readInt(DatLen, row, s.DatLen);
        r.readFloat(FiltL, row, s.FiltL);
        r.readFloat(FiltH, row, s.FiltH);
        r.readFloat(SenDH, row, s.Sen_dH);
    }
}

// Test areas from the RayPara lines, three lines each, grouped into members by the SI column;
// where each point's waveform lies goes to `waves`. Returns a failure's message.
std::u16string readAreas(const Parse& p, int64_t waveSize, std::vector<WaveRef>& waves,
                         const ReadOptions& options) {
    JobData& job = p.job;
    const ProjectInfo& pi = job.project;
    const FieldReader& r = p.r;
    auto col = [&](Key k, int width) { return p.column(k, width, kRayStride); };
    const Column SI = col(kRaySI, 2), RATNO = col(kRayRATNO, 8), Lc = col(kRayL, 8),
                 Tc = col(kRayT, 8), Ta = col(kRayTa, 8), Seek = col(kRaySeek, 12),
                 Gain = col(kRayGain, 8), Delay = col(kRayDelay, 8), Rc = col(kRayR, 8);
    const int64_t memberCount = static_cast<int64_t>(job.members.size());
    const int64_t textLen = p.text.size();
    // The most data lines the table could hold.
    const int64_t rayLines = Seek.heading >= 0 ? (textLen - Seek.heading) / kRayStride + 1 : 0;
    job.areas.assign(job.members.size(), AreaList{});
    waves.reserve(static_cast<size_t>(rayLines));

    int64_t waveBytesUsed = 0;
    int64_t lastRead = 0;
    int64_t rowBase = 0;
    for (int64_t b = 0; b < memberCount && Seek.heading >= 0; ++b) {
        const MemberInfo& member = job.members[static_cast<size_t>(b)];
        AreaList& list = job.areas[static_cast<size_t>(b)];
        {
            // Members of a job are mostly alike: room for the previous member's areas or an
            // even share of the lines left, whichever is more, saves regrowing every list.
            const int64_t left =
                (textLen - std::max(lastRead, Seek.heading)) / (3 * kRayStride) + 1;
            const int64_t previous =
                b > 0 ? static_cast<int64_t>(job.areas[static_cast<size_t>(b - 1)].size()) : 0;
            const int64_t share = (left + memberCount - b - 1) / (memberCount - b);
            list.reserve(
                static_cast<size_t>(std::clamp<int64_t>(std::max(previous, share), 0, left)));
        }
        int64_t k = 0;
        for (;;) {
            if (textLen - lastRead <= 139)
                break;
            const int64_t line0 = (rowBase + k) * 3;
            // No further data line: its waveform position lies beyond the text.
            if (Seek.position(line0) + Seek.width > textLen)
                break;
            // Blank lines after the table end it as well.
            if (p.text.blankFrom(Seek.position(line0) - kRaySeekOffset))
                break;
            // A line of a later member ends this one: of the next, or of one after members
            // that have no areas.
            int lineSI = -1;
            r.readInt(SI, line0, lineSI);
            if (memberCount != 1 && lineSI > b && lineSI < memberCount)
                break;

            TestArea area;
            int areaSI = static_cast<int>(b);
            for (int j = 0; j < 3; ++j) {
                const int64_t line = line0 + j;
                int si = areaSI, ratno = 0;
                long long seek = 0;
                float L = 0, T = 0, TA = 0, gain = 0, delay = 0, R = 0;
                r.readInt(SI, line, si);
                r.readInt(RATNO, line, ratno);
                r.readFloat(Lc, line, L);
                r.readFloat(Tc, line, T);
                r.readFloat(Ta, line, TA);
                r.readInt64(Seek, line, seek);
                lastRead = Seek.position(line);
                r.readFloat(Delay, line, delay);
                r.readFloat(Gain, line, gain);
                r.readFloat(Rc, line, R);

                // The waveform must lie inside the companion file, and all waveforms together
                // cannot need more bytes than it has.
                if (seek < 1 || seek - 1 > waveSize)
                    return kShdFailed;
                const int64_t offset = static_cast<int64_t>(seek) - 1;
                const int64_t len = 2 * static_cast<int64_t>(member.DatLen);
                if (member.DatLen <= 0 || len > waveSize - offset || len > waveSize - waveBytesUsed)
                    return kShdFailed;
                waveBytesUsed += len;
                waves.push_back({static_cast<size_t>(b), static_cast<size_t>(k), j, offset, len});

                TestPoint& pt = area.points[static_cast<size_t>(j)];
                pt.index = j;
                pt.ampIndex = numparse::truncToInt((TA - delay) / member.dT);
                pt.arrivalIndex = numparse::truncToInt((T - delay) / member.dT);
                pt.L = L;
                pt.Gain = gain;
                pt.Delay = delay;
                area.Delay = delay;
                if (j == 2) {
                    area.RATNO = ratno;
                    if (p.raw)
                        area.R.fill(numparse::truncToInt(R));
                    areaSI = si;
                }
            }
            if (p.raw) {
                area.LAMDA = pi.LAMDA;
                area.BETA = pi.BETA;
                area.TMETHOD = pi.Method;
            }
            area.ETA = pi.ETA;
            area.TESTLOC = pi.SPOT;
            area.dT = member.dT;
            area.SI = areaSI;
            list.push_back(std::move(area));
            ++k;
        }
        rowBase += k;
        if (options.progress)
            options.progress(b + 1, memberCount + kWaveSteps);
    }
    return {};
}

void readResult(const Parse& p) {
    JobData& job = p.job;
    job.hasResult = p.at(kResult) != RawText::npos;
    if (job.hasResult) {
        job.result.MF = p.keyFloat(kMF);
        job.result.SF = p.keyFloat(kSF);
        job.result.FCUE = p.keyFloat(kFCUE);
    }
}

// Rebound data and results of a result file, matched to the areas by order.
void readResultPara(const Parse& p) {
    if (!p.result || p.at(kResultPara) == RawText::npos)
        return;
    const FieldReader& r = p.r;
    auto col = [&](int k, int width) { return p.column(Key(k), width, kResultStride); };
    std::array<Column, 16> R;
    for (int i = 0; i < 16; ++i)
        R[static_cast<size_t>(i)] = col(kResR1 + i, 4);
    const Column RA = col(kResRA, 4), LAMDA = col(kResLAMDA, 8), BETA = col(kResBETA, 8),
                 ETA = col(kResETA, 8), ANGLE = col(kResANGLE, 8), ANGLEAM = col(kResANGLEAM, 8),
                 PLANE = col(kResPLANE, 8), PLANEAM = col(kResPLANEAM, 8),
                 CARBON = col(kResCARBON, 8), FCUI = col(kResFCUI, 8),
                 TMETHOD = col(kResTMETHOD, 8), TESTLOC = col(kResTESTLOC, 10);
    int64_t line = 0;
    for (auto& list : p.job.areas) {
        for (TestArea& a : list) {
            for (size_t i = 0; i < 16; ++i)
                r.readInt(R[i], line, a.R[i]);
            r.readFloat(RA, line, a.RA);
            r.readFloat(LAMDA, line, a.LAMDA);
            r.readFloat(BETA, line, a.BETA);
            r.readFloat(ETA, line, a.ETA);
            r.readInt(ANGLE, line, a.ANGLE);
            r.readFloat(ANGLEAM, line, a.ANGLEAM);
            r.readInt(PLANE, line, a.PLANE);
            r.readFloat(PLANEAM, line, a.PLANEAM);
            r.readFloat(CARBON, line, a.CARBON);
            r.readFloat(FCUI, line, a.FCUI);
            r.readInt(TMETHOD, line, a.TMETHOD);
            a.TESTLOC = r.readText(TESTLOC, line);
            ++line;
        }
    }
}

std::u16string readFile(const std::string& path, JobData& job, const ReadOptions& options) {
    InFile textFile(path);
    InFile waveFile(companionPath(path));
    if (!textFile.ok() || !waveFile.ok())
        return kOpenFailed;
    if (textFile.size() == 0)
        return kEmptyFile;
    const std::unique_ptr<RawText> text = loadText(textFile);
    if (!text)
        return kEmptyFile;

    const bool raw = isRawPath(path);
    const bool result = !raw && isResultPath(path);
    // Only a result file reads ResultPara: its headings are the last patterns.
    const ScanResult found = text->scan(
        std::span<const ScanPattern>(kPatterns, result ? size_t{kKeyCount} : size_t{kResR1}),
        kNumbered);
    const FieldReader r(*text, options);
    const Parse p{*text, r, found, raw, result, job};

    readProject(p);
    readMembers(p);
    readSections(p);
    std::vector<WaveRef> waves;
    std::u16string error = readAreas(p, waveFile.size(), waves, options);
    if (!error.empty())
        return error;
    const int64_t memberCount = static_cast<int64_t>(job.members.size());
    if (!loadWaveforms(waveFile, job, waves, [&](int64_t done) {
            if (options.progress)
                options.progress(memberCount + done, memberCount + kWaveSteps);
        }))
        return kShdFailed;
    readResult(p);
    readResultPara(p);
    return {};
}

} // namespace

std::u16string ReadDataFile(const std::string& path, JobData& job, const ReadOptions& options) {
    std::u16string error;
    try {
        error = readFile(path, job, options);
    } catch (const std::exception&) {
        error = kOpenFailed; // a file too large for this machine
    }
    if (!error.empty()) {
        const Result kept = job.result;
        job = JobData{};
        job.result = kept;
        return error;
    }
    // The specimens of a correction live beside a result pair; a faulty list is reported and
    // left out, the job itself is sound.
    if (isResultPath(path)) {
        const std::u16string specimens = readSpecimenFile(path, job);
        if (!specimens.empty() && options.notice)
            options.notice(u"钻芯修正的试件文件未能读取：" + specimens);
    }
    return error;
}

} // namespace tavolin
