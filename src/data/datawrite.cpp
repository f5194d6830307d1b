// Writers of the raw (.SHT) and result (.SHA) file pairs: fixed-width lines in GBK, int16
// waveforms.
#include "data/atomicfile.h"
#include "data/corefile.h"
#include "data/datafile.h"
#include "data/fixedtext.h"
#include "data/labels.h"
#include "data/samplecodec.h"
#include "data/textcodec.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <new>
#include <stdexcept>

namespace tavolin {

namespace {

const std::u16string kRawTextFailed = u"创建SHT/SHA文件失败！";
const std::u16string kResultTextFailed = u"创建SHA文件失败！";
const std::u16string kWaveFailed = u"创建SHD文件失败！";

const std::u16string kRayHeading =
    u"SI   RATNO  SpotNO       L   T(us)  Ta(us)   A(dB) Tf1(us) Tf2(us)  AbsMax Del    Seek"
    u"        Gain   Delay       R    Temp    Temp    Temp";
const std::u16string kRawSectionHeading = u"SI    CrossD    Gain  T0(us)  dT(us)   Delay  DatLen"
                                          u"   FiltL   FiltH  Sen_dH    TEMP    TEMP    TEMP    "
                                          u"TEMP    TEMP";
const std::u16string kResultSectionHeading =
    u"SI    CrossD    Gain  T0(us)  dT(us)   Delay  DatLen   FiltL   FiltH  Sen_dH       A     "
    u"  B       C    TEMP    TEMP";
const std::u16string kResultParaHeading =
    u"SI TESTNUM  R1  R2  R3  R4  R5  R6  R7  R8  R9 R10 R11 R12 R13 R14 R15 R16  RA   LAMDA"
    u"    BETA     ETA   ANGLE ANGLEAM   PLANE PLANEAM  CARBON    FCUI TMETHOD   TESTLOC";

// Text of one section, built in UTF-16 with the fixed-width number formats of the files.
// Numbers are formatted without the C library's locale, so a Chinese or any other locale
// cannot change the decimal point. A number wider than its column would shift every
// following column of the file, so it marks the text as unwritable instead.
class Lines {
public:
    std::u16string text;
    bool overflow = false;

    void put(std::u16string_view s) { text.append(s.data(), s.size()); }
    void endLine() { text.append(u"\r\n"); }
    // A value of a key line: line breaks inside it would start a new line of the file.
    void value(const std::u16string& s) {
        for (char16_t c : s)
            text.push_back(c == u'\r' || c == u'\n' ? u' ' : c);
    }
    void integer(long long v, int width, bool left = false) {
        char buf[32];
        const auto r = std::to_chars(buf, buf + sizeof buf, v);
        pad(buf, static_cast<int>(r.ptr - buf), width, left);
    }
    void fixed(float value, int width, int precision) {
        char buf[400];
        pad(buf, static_cast<int>(fixedText(value, precision, buf)), width, false);
    }
    void rightAligned(const std::u16string& s, int width) {
        if (static_cast<int>(s.size()) < width)
            text.append(static_cast<size_t>(width) - s.size(), u' ');
        text.append(s);
    }

private:
    void pad(const char* s, int n, int width, bool left) {
        if (n > width)
            overflow = true;
        // The field in one piece: blanks and digits are all ASCII.
        char16_t field[400];
        const int blanks = n < width ? width - n : 0;
        int k = 0;
        if (!left)
            for (; k < blanks; ++k)
                field[k] = u' ';
        for (int i = 0; i < n && k < 400; ++i)
            field[k++] = static_cast<char16_t>(static_cast<unsigned char>(s[i]));
        if (left)
            for (int i = 0; i < blanks && k < 400; ++i)
                field[k++] = u' ';
        text.append(field, static_cast<size_t>(k));
    }
};

// A text for a fixed-width column, as it will stand in the file: a line break would end the
// line, a character outside the BMP becomes one "?" in GBK, and a longer text would shift every
// following line, so it is cut to the width.
std::u16string columnText(const std::u16string& s, size_t width) {
    std::u16string out;
    for (size_t i = 0; i < s.size() && out.size() < width; ++i) {
        const char16_t c = s[i];
        if (c == u'\r' || c == u'\n') {
            out.push_back(u' ');
        } else if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
                   s[i + 1] <= 0xDFFF) {
            out.push_back(u'?');
            ++i;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

void writeHeader(Lines& o, const JobData& job, bool result) {
    const ProjectInfo& pi = job.project;
    auto key = [&](const char16_t* k, const std::u16string& v) {
        o.put(k);
        o.value(v);
        o.endLine();
    };
    o.put(u"PODUX_CrsHlDat_DatFormat:\r\n");
    o.put(u"Format   :VEK_CrsHl_000\r\n");
    key(u"SITE     :", pi.SITE);
    key(u"DATE     :", pi.DATE);
    key(u"PILEID   :", job.members.empty() ? std::u16string() : job.members.front().PILEID);
    key(u"UNIT     :", pi.UNIT);
    key(u"PERSON   :", pi.PERSON);
    key(u"Method   :", std::u16string(labelOf(kMethodLabels, pi.Method, u"")));
    key(u"INST     :", pi.INST);
    o.put(u"SOFT     :VEK_CrsHl V0.88\r\n");
    if (result)
        key(u"Molddate :", pi.Molddate);
    else
        o.put(u"TEMP     :********\r\n");
    for (int i = 0; i < 6; ++i)
        o.put(u"TEMP     :********\r\n");
    o.endLine();
}

void writePilePipe(Lines& o, const ProjectInfo& pi) {
    o.put(u"PODUX_CrsHlDat_PilePipePara:\r\n");
    o.put(u"SPOT     :");
    o.value(pi.SPOT);
    o.endLine();
    o.put(u"SectNum  :\r\n");
    o.put(u"λ       :");
    o.fixed(pi.LAMDA, 8, 2);
    o.endLine();
    o.put(u"β       :");
    o.fixed(pi.BETA, 8, 2);
    o.endLine();
    o.put(u"a        :\r\n");
    o.put(u"η       :");
    o.fixed(pi.ETA, 8, 2);
    o.endLine();
    o.put(u"R        :\r\n");
    o.endLine();
}

// The ten acquisition columns shared by both variants of a SectionPara line.
void writeSectionColumns(Lines& o, const SectionPara& p) {
    o.integer(p.SI, 4, true);
    o.fixed(p.CrossD, 8, 2);
    o.fixed(p.Gain, 8, 0);
    o.fixed(p.T0, 8, 2);
    o.fixed(p.dT, 8, 2);
    o.fixed(p.Delay, 8, 2);
    o.integer(p.DatLen, 8);
    o.fixed(p.FiltL, 8, 2);
    o.fixed(p.FiltH, 8, 2);
    o.fixed(p.Sen_dH, 8, 2);
}

void writeResultLine(Lines& o, int memberSI, const TestArea& a) {
    o.integer(memberSI, 2);
    o.integer(a.RATNO, 8);
    for (int r : a.R)
        o.integer(r, 4);
    o.fixed(a.RA, 4, 0);
    o.fixed(a.LAMDA, 8, 2);
    o.fixed(a.BETA, 8, 3);
    o.fixed(a.ETA, 8, 2);
    o.integer(a.ANGLE, 8);
    o.fixed(a.ANGLEAM, 8, 1);
    o.integer(a.PLANE, 8);
    o.fixed(a.PLANEAM, 8, 1);
    o.fixed(a.CARBON, 8, 1);
    o.fixed(a.FCUI, 8, 1);
    o.integer(a.TMETHOD, 8);
    o.rightAligned(columnText(a.TESTLOC, 10), 10);
    o.endLine();
}

// AbsMax of the samples: the larger of |min - 2047| and |max - 2047|. Eight samples per step.
int absMax(const SampleBuffer& s) {
    const size_t n = s.size();
    const uint16_t* p = s.data();
    uint16_t mn = 0xFFFF, mx = 0;
    size_t i = 0;
#if defined(__SSE2__)
    // SSE2 has only signed 16-bit min/max: flip the sign bit to compare unsigned values.
    const __m128i flip = _mm_set1_epi16(static_cast<short>(0x8000));
    __m128i vmin = _mm_set1_epi16(0x7FFF), vmax = _mm_set1_epi16(static_cast<short>(0x8000));
    for (; i + 8 <= n; i += 8) {
        const __m128i f =
            _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)), flip);
        vmin = _mm_min_epi16(vmin, f);
        vmax = _mm_max_epi16(vmax, f);
    }
    alignas(16) uint16_t lo[8], hi[8];
    _mm_store_si128(reinterpret_cast<__m128i*>(lo), _mm_xor_si128(vmin, flip));
    _mm_store_si128(reinterpret_cast<__m128i*>(hi), _mm_xor_si128(vmax, flip));
    for (int k = 0; k < 8 && i > 0; ++k) {
        mn = std::min(mn, lo[k]);
        mx = std::max(mx, hi[k]);
    }
#endif
    for (; i < n; ++i) {
        mn = std::min(mn, p[i]);
        mx = std::max(mx, p[i]);
    }
    if (n == 0)
        return 0;
    return std::max(std::abs(static_cast<int>(mn) - 2047), std::abs(static_cast<int>(mx) - 2047));
}

struct Outcome {
    bool textFailed = false;
    bool waveFailed = false;
};

// Text is converted and written in pieces of about this many characters.
constexpr size_t kTextChunk = 32u << 10;

// Writes one converted section (or the part of it built so far) to the text temporary.
bool flushSection(TempFile& file, Lines& o) {
    if (o.overflow)
        return false;
    const std::string bytes = utf16ToGbk(o.text);
    o.text.clear();
    return file.write(bytes.data(), bytes.size());
}

// The companion: the waveforms of every point that has one, back to back in RayPara order.
// Written in small pieces from one buffer used again and again: fresh memory for the whole
// file would cost more in page faults than the writing itself.
bool writeWaves(TempFile& waveFile, const JobData& job) {
    constexpr size_t kChunk = 256u << 10;
    std::vector<unsigned char> wave;
    wave.reserve(kChunk + 65536);
    const size_t members = std::min(job.members.size(), job.areas.size());
    for (size_t i = 0; i < members; ++i)
        for (const TestArea& a : job.areas[i])
            for (const TestPoint& p : a.points) {
                if (!p.hasWaveform())
                    continue;
                // The measured signal, never the filtered working copy: a filter is a view the
                // user applies, and filtering a saved signal again must start from the measured.
                const SampleBuffer& measured = p.unfiltered();
                const size_t start = wave.size();
                wave.resize(start + 2 * measured.size());
                encodeSamples(measured.data(), measured.size(), wave.data() + start);
                if (wave.size() >= kChunk) {
                    if (!waveFile.write(wave.data(), wave.size()))
                        return false;
                    wave.clear();
                }
            }
    return wave.empty() || waveFile.write(wave.data(), wave.size());
}

// The SI column of member i's lines. Readers group the lines of several members by this column
// and the "SI" keys are written as positions, so with more than one member it is the position:
// a member whose SI came from a file that gave another number (or none) must get its own lines
// back. A single member's lines are never grouped and keep its SI.
int lineSI(const JobData& job, size_t i) {
    return job.members.size() > 1 ? static_cast<int>(i) : job.members[i].SI;
}

// RayPara lines and the companion waveforms, in the same order.
Outcome writeRayPara(TempFile& textFile, TempFile& waveFile, const JobData& job, Lines& o) {
    Outcome out;
    const size_t members = std::min(job.members.size(), job.areas.size());
    if (!writeWaves(waveFile, job)) {
        out.waveFailed = true;
        return out;
    }

    o.put(u"PODUX_CrsHlDat_RayPara:\r\n");
    o.put(kRayHeading);
    o.endLine();
    long long seek = 1;
    for (size_t i = 0; i < members && !out.textFailed; ++i) {
        const int memberSI = lineSI(job, i);
        for (const TestArea& a : job.areas[i]) {
            for (size_t j = 0; j < 3; ++j) {
                const TestPoint& p = a.points[j];
                if (!p.hasWaveform())
                    continue;
                o.integer(memberSI, 2);
                o.integer(a.RATNO, 8);
                o.integer(static_cast<long long>(j), 8);
                o.fixed(p.L, 8, 0);
                o.fixed(static_cast<float>(p.arrivalIndex) * a.dT + a.Delay, 8, 1);
                o.fixed(static_cast<float>(p.ampIndex) * a.dT + a.Delay, 8, 1);
                o.put(u"     0.0     0.0     0.0"); // A(dB), Tf1, Tf2: always 0
                o.integer(absMax(p.unfiltered()), 8);
                o.put(u"   0"); // Del
                o.integer(seek, 12);
                o.fixed(p.Gain, 8, 0);
                o.fixed(a.Delay, 8, 0);
                o.put(u"      35    TEMP    TEMP    TEMP\r\n"); // R is always 35
                seek += 2 * static_cast<long long>(p.unfiltered().size());
            }
            if (o.text.size() >= kTextChunk && !flushSection(textFile, o)) {
                out.textFailed = true;
                break;
            }
        }
    }
    if (!out.textFailed) {
        o.endLine();
        out.textFailed = !flushSection(textFile, o);
    }
    return out;
}

// The SectionPara records of a raw file. Its reader takes the sample interval and waveform
// length of every line from line 0 (SectNum is written empty), so line 0 carries the first
// member's; a record that disagrees with them (a member that used line 1) would corrupt every
// waveform on reopening.
std::vector<SectionPara> rawSections(const JobData& job) {
    std::vector<SectionPara> sections = job.sections;
    if (job.members.empty() || job.members.front().DatLen <= 0)
        return sections;
    const MemberInfo& m = job.members.front();
    if (sections.empty()) {
        sections.emplace_back();
        sections.front().SI = m.SI;
    }
    sections.front().dT = m.dT;
    sections.front().DatLen = m.DatLen;
    return sections;
}

// A raw file holds one waveform length: a job whose waveforms differ in length (members of
// several acquisitions) cannot be written as one, or it could not be opened again.
bool fitsOneWaveformLength(const JobData& job) {
    const size_t members = std::min(job.members.size(), job.areas.size());
    const int datLen = job.members.empty() ? 0 : job.members.front().DatLen;
    for (size_t i = 0; i < members; ++i)
        for (const TestArea& a : job.areas[i])
            for (const TestPoint& p : a.points)
                if (p.hasWaveform() && p.samples.size() != static_cast<size_t>(datLen))
                    return false;
    return true;
}

std::u16string writePair(const std::string& path, const JobData& job, bool result) {
    const std::u16string& textFailed = result ? kResultTextFailed : kRawTextFailed;
    if (!result && !fitsOneWaveformLength(job))
        return textFailed;
    const std::string wavePath = companionPath(path);
    if (path.empty() || wavePath == path)
        return kWaveFailed;
    TempFile textFile(path);
    TempFile waveFile(wavePath);
    if (!textFile.open())
        return textFailed;
    if (!waveFile.open())
        return kWaveFailed;

    Lines o;
    bool ok = true;
    writeHeader(o, job, result);
    ok = ok && flushSection(textFile, o);
    writePilePipe(o, job.project);
    ok = ok && flushSection(textFile, o);

    if (result) {
        o.put(u"PODUX_CrsHlDat_StrengthNum:\r\n");
        for (size_t i = 0; i < job.members.size(); ++i) {
            const std::u16string n = utf8ToUtf16(std::to_string(i));
            o.put(u"PILEID");
            o.put(n);
            o.put(u"  :");
            o.value(job.members[i].PILEID);
            o.endLine();
            o.put(u"SI");
            o.put(n);
            o.put(u"      :");
            o.put(n);
            o.endLine();
        }
        o.endLine();
        o.endLine();
        ok = ok && flushSection(textFile, o);

        o.put(u"PODUX_CrsHlDat_SectionPara:\r\n");
        o.put(kResultSectionHeading);
        o.endLine();
        for (size_t i = 0; i < job.members.size(); ++i) {
            const MemberInfo& m = job.members[i];
            SectionPara p;
            if (i < job.sections.size()) {
                p = job.sections[i];
                // The reader takes this line's sample interval and length for the member's
                // waveforms; a record that disagrees with them (a raw job whose member used
                // line 1) would corrupt every waveform of the member on reopening.
                if (m.DatLen > 0) {
                    p.dT = m.dT;
                    p.DatLen = m.DatLen;
                }
            } else {
                // A job without a record for this member: the member's own values.
                p.SI = m.SI;
                p.dT = m.dT;
                p.DatLen = m.DatLen;
            }
            writeSectionColumns(o, p);
            o.fixed(m.A, 8, 4);
            o.fixed(m.B, 8, 3);
            o.fixed(m.C, 8, 3);
            o.put(u"    TEMP    TEMP\r\n");
        }
        o.endLine();
        ok = ok && flushSection(textFile, o);

        o.endLine();
        o.put(u"PODUX_CrsHlDat_ResultPara:\r\n");
        o.put(kResultParaHeading);
        o.endLine();
        const size_t members = std::min(job.members.size(), job.areas.size());
        for (size_t i = 0; i < members && ok; ++i)
            for (const TestArea& a : job.areas[i]) {
                writeResultLine(o, lineSI(job, i), a);
                if (o.text.size() >= kTextChunk && !flushSection(textFile, o)) {
                    ok = false;
                    break;
                }
            }
        o.endLine();
        ok = ok && flushSection(textFile, o);

        o.put(u"PODUX_CrsHlDat_Result:\r\n");
        o.put(u"MF       :");
        o.fixed(job.result.MF, 8, 1);
        o.endLine();
        o.put(u"SF       :");
        o.fixed(job.result.SF, 8, 2);
        o.endLine();
        o.put(u"FCUE     :");
        o.fixed(job.result.FCUE, 8, 1);
        o.endLine();
        o.endLine();
        o.endLine();
        ok = ok && flushSection(textFile, o);
    } else {
        o.put(u"PODUX_CrsHlDat_SectionPara:\r\n");
        o.put(kRawSectionHeading);
        o.endLine();
        for (const SectionPara& p : rawSections(job)) {
            writeSectionColumns(o, p);
            o.put(u"    TEMP    TEMP    TEMP    TEMP    TEMP\r\n");
        }
        o.endLine();
        o.endLine();
        ok = ok && flushSection(textFile, o);
    }
    if (!ok)
        return textFailed;

    const Outcome ray = writeRayPara(textFile, waveFile, job, o);
    if (ray.waveFailed)
        return kWaveFailed;
    if (ray.textFailed)
        return textFailed;
    if (!textFile.finish())
        return textFailed;
    if (!waveFile.finish())
        return kWaveFailed;
    switch (commitPair(textFile, waveFile)) {
    case 0:
        return {};
    case 2:
        return kWaveFailed;
    default:
        return textFailed;
    }
}

} // namespace

std::u16string WriteRawFile(const std::string& path, const JobData& job) {
    try {
        return writePair(path, job, false);
    } catch (const std::exception&) {
        return kRawTextFailed;
    }
}

std::u16string WriteResultFile(const std::string& path, const JobData& job) {
    try {
        if (std::u16string error = writePair(path, job, true); !error.empty())
            return error;
    } catch (const std::exception&) {
        return kResultTextFailed;
    }
    if (std::u16string error = writeSpecimenFile(path, job); !error.empty())
        return u"钻芯修正的试件文件未能写入：" + error;
    return {};
}

} // namespace tavolin
