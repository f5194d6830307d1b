// Many damaged copies of valid raw and result pairs: each read ends with a known message or with
// a consistent job whose size is bounded by the files it came from.
#include "test_files_support.h"

#include "data/doc.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace tavolin;
using namespace tavolin::testing;

namespace {

const std::u16string kOpenFailed = u"打开文件失败！";
const std::u16string kEmpty = u"文件为空!";
const std::u16string kShd = u"读取SHD文件异常!";

struct Sample {
    std::string text;
    std::string wave; // empty with `noWave`: the companion is not there
    bool noWave = false;
};

// The checks every read must pass, whatever the input.
class Checker {
public:
    explicit Checker(const std::string& name) : path_(dir_.path(name)) {}

    void check(const Sample& s, const std::string& what) {
        writeBytes(path_, s.text);
        const std::string wavePath = companionPath(path_);
        std::filesystem::remove(wavePath);
        if (!s.noWave)
            writeBytes(wavePath, s.wave);
        int notices = 0;
        int64_t progressCalls = 0;
        ReadOptions options;
        options.notice = [&](const std::u16string& m) {
            EXPECT_EQ(m, u"数字过长，请输入小于20位的数值") << what;
            ++notices;
        };
        int64_t lastDone = -1, lastTotal = -1;
        bool progressOrdered = true;
        options.progress = [&](int64_t done, int64_t total) {
            ++progressCalls;
            // Progress only moves forward, towards one fixed total.
            progressOrdered = progressOrdered && done >= lastDone && done <= total &&
                              (lastTotal < 0 || total == lastTotal);
            lastDone = done;
            lastTotal = total;
        };
        JobData job;
        job.result.MF = 12.5f; // a failed read or a file without Result keeps it
        const std::u16string error = ReadDataFile(path_, job, options);
        if (!error.empty()) {
            ++failures;
            EXPECT_TRUE(error == kOpenFailed || error == kEmpty || error == kShd) << what;
            EXPECT_TRUE(job.members.empty() && job.areas.empty() && job.sections.empty()) << what;
            EXPECT_FLOAT_EQ(job.result.MF, 12.5f) << what;
            if (s.noWave) {
                EXPECT_EQ(error, kOpenFailed) << what;
            } else if (s.text.empty()) {
                EXPECT_EQ(error, kEmpty) << what;
            }
            return;
        }
        ASSERT_FALSE(s.noWave) << what;
        ASSERT_EQ(job.areas.size(), job.members.size()) << what;
        ASSERT_EQ(job.memberCount, static_cast<int>(job.members.size())) << what;
        // Every member, area and message needs text of its own: the work done is bounded by
        // the size of the text, whatever the numbers in it say.
        const size_t textSize = s.text.size();
        EXPECT_LE(job.members.size() * 10, textSize + 10) << what;
        // One report per member, then a bounded number while the waveforms are read.
        EXPECT_LE(progressCalls, static_cast<int64_t>(job.members.size()) + 20) << what;
        EXPECT_TRUE(progressOrdered) << what;
        EXPECT_LE(static_cast<size_t>(notices), textSize / 5 + 10) << what;
        size_t areas = 0;
        size_t samples = 0;
        for (size_t m = 0; m < job.areas.size(); ++m) {
            for (const TestArea& a : job.areas[m]) {
                ++areas;
                for (const TestPoint& p : a.points) {
                    // All waveforms of a member have its length; nothing is kept twice yet.
                    EXPECT_EQ(p.samples.size(), static_cast<size_t>(job.members[m].DatLen)) << what;
                    EXPECT_TRUE(p.rawSamples.empty()) << what;
                    samples += p.samples.size();
                }
            }
        }
        // (A LF-only line is one byte shorter than the 140 characters it is read as.)
        EXPECT_LE(areas * 3 * 130, textSize + 3 * 140) << what;
        EXPECT_LE(samples * 2, s.wave.size()) << what;
        ++successes;
        // The document computes the derived values of whatever was read without faulting.
        if (successes % 8 == 1) {
            CTavolinDoc doc;
            EXPECT_EQ(doc.open(path_), u"") << what;
        }
    }

    int failures = 0;
    int successes = 0;

private:
    ScratchDir dir_;
    std::string path_;
};

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        end = end == std::string::npos ? text.size() : end + 2;
        out.push_back(text.substr(start, end - start));
        start = end;
    }
    return out;
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines)
        out += l;
    return out;
}

// Start positions of the runs of digits (with sign and point) in the text.
std::vector<std::pair<size_t, size_t>> numbers(const std::string& text) {
    std::vector<std::pair<size_t, size_t>> out;
    for (size_t i = 0; i < text.size();) {
        if ((text[i] >= '0' && text[i] <= '9') || text[i] == '-') {
            size_t j = i + 1;
            while (j < text.size() && ((text[j] >= '0' && text[j] <= '9') || text[j] == '.'))
                ++j;
            out.emplace_back(i, j - i);
            i = j;
        } else {
            ++i;
        }
    }
    return out;
}

// Numbers that break something: too long, negative, huge, not finite, not numbers at all.
const char* const kNumbers[] = {
    "12345678901234567890", "-1",   "-99999999", "0",       "99999999",   "999999999999",
    "4294967297",           "1e38", "1e999",     "-1e999",  "nan",        "inf",
    "0x7fffffff",           ".",    "-",         "1.5e-45", "2147483648", "-2147483649"};

// Bytes that are not valid GBK or that a reader might trip over; "" stands for a NUL byte.
const char* const kBadBytes[] = {"\x81",     "\x81\r",   "\xff\xff", "\x80",
                                 "\xa1\x7f", "\x81\x30", "",         "\xfe"};

void mutateAll(Checker& c, const Sample& valid, uint32_t seed) {
    std::mt19937 rng(seed);
    const std::string& text = valid.text;
    const std::vector<std::string> lines = splitLines(text);
    const auto nums = numbers(text);

    c.check(valid, "valid");
    ASSERT_EQ(c.failures, 0) << "the valid pair itself must read";

    // Cut the text at every 23rd byte, the companion at every 97th.
    for (size_t cut = 0; cut < text.size(); cut += 23)
        c.check({text.substr(0, cut), valid.wave}, "text cut at " + std::to_string(cut));
    for (size_t cut = 0; cut < valid.wave.size(); cut += 97)
        c.check({text, valid.wave.substr(0, cut)}, "wave cut at " + std::to_string(cut));
    c.check({text, "", true}, "no companion");
    c.check({"", valid.wave}, "empty text");

    // Delete or duplicate each line.
    for (size_t i = 0; i < lines.size(); ++i) {
        std::vector<std::string> l = lines;
        l.erase(l.begin() + static_cast<std::ptrdiff_t>(i));
        c.check({joinLines(l), valid.wave}, "line " + std::to_string(i) + " deleted");
        l = lines;
        l.insert(l.begin() + static_cast<std::ptrdiff_t>(i), lines[i]);
        c.check({joinLines(l), valid.wave}, "line " + std::to_string(i) + " doubled");
    }

    // Replace numbers by bad ones, one at a time (in place, so widths change as they will).
    for (int n = 0; n < 150; ++n) {
        const auto [at, len] = nums[rng() % nums.size()];
        const std::string with = kNumbers[rng() % std::size(kNumbers)];
        std::string t = text;
        t.replace(at, len, with);
        c.check({t, valid.wave}, "number at " + std::to_string(at) + " -> " + with);
    }
    // Giant waveform lengths and positions in their own columns.
    for (const char* big : {"99999999", "-9999999", "    9999"}) {
        std::string t = text;
        const size_t datLen = t.find("  DatLen");
        const size_t line = t.find("\r\n", datLen) + 2;
        t.replace(line + 52, 8, std::string(8 - std::strlen(big), ' ') + big);
        c.check({t, valid.wave}, std::string("DatLen ") + big);
    }
    for (const char* big : {"999999999999", "-99999999999", "  2147483648", "           0"}) {
        std::string t = text;
        const size_t seek = t.find("  Seek");
        const size_t line = t.find("\r\n", seek) + 2;
        t.replace(line + 78, 12, std::string(12 - std::strlen(big), ' ') + big);
        c.check({t, valid.wave}, std::string("Seek ") + big);
    }

    // Bit flips, NUL bytes, bad GBK sequences and inserted characters that numbers and lines
    // are made of, at random places. The alphabet is built with its length: it holds a NUL.
    using namespace std::string_literals;
    const std::string alphabet = "0123456789 -.\r\n\x00\xff\xb2\xe2"
                                 "e+"s;
    for (int n = 0; n < 160; ++n) {
        std::string t = text;
        const int edits = 1 + static_cast<int>(rng() % 6);
        for (int e = 0; e < edits; ++e) {
            const size_t at = rng() % t.size();
            switch (rng() % 4) {
            case 3:
                t.insert(at, 1, alphabet[rng() % alphabet.size()]);
                break;
            case 0:
                t[at] = static_cast<char>(t[at] ^ (1 << (rng() % 8)));
                break;
            case 1:
                t[at] = '\0';
                break;
            default: {
                const int k = static_cast<int>(rng() % std::size(kBadBytes));
                const std::string bad = *kBadBytes[k] ? kBadBytes[k] : std::string(1, '\0');
                t.replace(at, 1, bad);
                break;
            }
            }
        }
        c.check({t, valid.wave}, "flips " + std::to_string(n));
    }

    // LF-only line ends, CR-only line ends, and no line ends at all.
    std::string lf, cr, none;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool crlf = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
        if (!crlf)
            lf.push_back(text[i]);
        if (text[i] != '\n')
            cr.push_back(text[i]);
        if (text[i] != '\n' && text[i] != '\r')
            none.push_back(text[i]);
    }
    c.check({lf, valid.wave}, "LF only");
    c.check({cr, valid.wave}, "CR only");
    c.check({none, valid.wave}, "no line ends");
    // The companion shorter by one waveform, and one byte longer.
    c.check({text, valid.wave.substr(0, valid.wave.size() / 2)}, "half companion");
    c.check({text, valid.wave + "x"}, "longer companion");
}

Sample validPair(const JobData& job, const std::string& name, bool result) {
    ScratchDir dir;
    const std::string path = dir.path(name);
    EXPECT_EQ(result ? WriteResultFile(path, job) : WriteRawFile(path, job), u"");
    return {readBytes(path), readBytes(companionPath(path))};
}

} // namespace

TEST(FilesRobust, DamagedRawPairs) {
    const Sample valid = validPair(makeJob(1, 4, 40), "v.SHT", false);
    Checker c("m.SHT");
    mutateAll(c, valid, 20240501);
    EXPECT_GT(c.successes, 0);
    EXPECT_GT(c.failures, 0);
}

TEST(FilesRobust, DamagedResultPairs) {
    const Sample valid = validPair(makeJob(3, 2, 24), "v.SHA", true);
    Checker c("m.SHA");
    mutateAll(c, valid, 77);
    EXPECT_GT(c.successes, 0);
    EXPECT_GT(c.failures, 0);
}

TEST(FilesRobust, DamagedResultTextUnderOtherExtensions) {
    // The same damage read with the raw steps and with neither set of steps.
    const Sample valid = validPair(makeJob(2, 2, 16), "v.SHA", true);
    Checker raw("m.SHT");
    mutateAll(raw, valid, 5);
    Checker neither("m.DAT");
    mutateAll(neither, valid, 6);
    EXPECT_GT(raw.successes + neither.successes, 0);
}
