// Reader of the raw (.SHT) and result (.SHA) file pairs: key lines, fixed-width tables, waveforms.
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
#include "data/datafile.h"
#include "data/labels.h"

#include "data/largeblock.h"
#include "data/mathoperation.h"
#include "data/numparse.h"
#include "data/rawtext.h"
#include "data/textcodec.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <atomic>
#include <bit>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <future>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace tavolin {

std::string companionPath(const std::string& path) {
    if (path.empty())
        return path;
    std::string out = path;
    out.back() = 'D';
    return out;
}

bool isRawPath(const std::string& path) {
    return path.find(".SHT") != std::string::npos;
}
bool isResultPath(const std::string& path) {
    return path.find(".SHA") != std::string::npos;
}

namespace {

const std::u16string kOpenFailed = u"打开文件失败！";
const std::u16string kEmptyFile = u"文件为空!";
const std::u16string kShdFailed = u"读取SHD文件异常!";

constexpr int kSectionStride = 118;
constexpr int kRayStride = 140;
constexpr int kResultStride = 170;
constexpr int kMaxWidth = 16;
constexpr int kRaySeekOffset = 78; // where the Seek column starts inside a RayPara line

// A file opened for reading, closed on every way out.
class InFile {
public:
    explicit InFile(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
        struct stat st {};
        if (fd_ >= 0 && (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode))) {
            ::close(fd_);
            fd_ = -1;
        }
        if (fd_ >= 0)
            size_ = st.st_size;
    }
    ~InFile() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    InFile(const InFile&) = delete;
    InFile& operator=(const InFile&) = delete;

    bool ok() const { return fd_ >= 0; }
    int64_t size() const { return size_; }

    // Reads up to `n` bytes from `offset` into `dst`; returns the bytes really read.
    int64_t readAt(char* dst, int64_t n, int64_t offset = 0) {
        int64_t done = 0;
        while (done < n) {
            const ssize_t r =
                ::pread(fd_, dst + done, static_cast<size_t>(n - done), offset + done);
            if (r < 0 && errno == EINTR)
                continue;
            if (r <= 0)
                break;
            done += r;
        }
        return done;
    }

private:
    int fd_ = -1;
    int64_t size_ = 0;
};

// The companion's bytes in large sequential chunks: waveforms stored back to back are served
// from memory, any other position is read on demand. Never holds more than one waveform or
// one chunk, whichever is larger.
class WaveSource {
public:
    explicit WaveSource(InFile& file) : file_(file) {}

    // The `len` bytes at `offset`, or nullptr when the file does not have them.
    const unsigned char* get(int64_t offset, int64_t len) {
        if (offset < 0 || len < 0 || offset > file_.size() || len > file_.size() - offset)
            return nullptr;
        if (offset >= start_ && offset + len <= start_ + length_)
            return chunk_.data() + (offset - start_);
        constexpr int64_t kChunk = 4 << 20;
        const int64_t want = std::min(std::max(len, kChunk), file_.size() - offset);
        if (static_cast<int64_t>(chunk_.size()) < want)
            chunk_.resize(static_cast<size_t>(want));
        length_ = file_.readAt(reinterpret_cast<char*>(chunk_.data()), want, offset);
        start_ = offset;
        if (length_ < len)
            return nullptr;
        return chunk_.data();
    }

private:
    InFile& file_;
    std::vector<unsigned char> chunk_;
    int64_t start_ = 0;
    int64_t length_ = 0;
};

// The text file as wide text. Zero bytes become blanks; a LF without CR before it becomes
// CR LF, so that files edited on other systems read as written. Returns null for an empty file.
std::unique_ptr<RawText> loadText(InFile& file) {
    const int64_t size = file.size();
    if (size <= 0)
        return nullptr;
    // The bytes are read into the upper half of the block that takes the wide text, and decoded
    // towards its start: no unit needs more room than the bytes it came from, so the decoding
    // never overwrites a byte it has still to read, and no second buffer is needed.
    const auto capacity = static_cast<size_t>(size);
    std::shared_ptr<void> wide = allocateLargeBlock(capacity * sizeof(char16_t));
    auto* units = static_cast<char16_t*>(wide.get());
    char* bytes = reinterpret_cast<char*>(units) + capacity;
    const auto n = static_cast<size_t>(file.readAt(bytes, size));
    if (n == 0)
        return nullptr;
    for (char* z = static_cast<char*>(std::memchr(bytes, '\0', n)); z;
         z = static_cast<char*>(std::memchr(z, '\0', n - static_cast<size_t>(z - bytes))))
        *z = ' ';
    size_t loneLf = 0;
    const char* end = bytes + n;
    for (const char* lf = static_cast<const char*>(std::memchr(bytes, '\n', n)); lf;
         lf =
             static_cast<const char*>(std::memchr(lf + 1, '\n', static_cast<size_t>(end - lf - 1))))
        if (lf == bytes || lf[-1] != '\r')
            ++loneLf;
    std::string expanded;
    const char* source = bytes;
    size_t length = n;
    if (loneLf > 0) {
        // Longer than the bytes: decoded into a block of its own.
        expanded.reserve(n + loneLf);
        for (size_t i = 0; i < n; ++i) {
            if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r'))
                expanded.push_back('\r');
            expanded.push_back(bytes[i]);
        }
        source = expanded.data();
        length = expanded.size();
        wide = allocateLargeBlock(length * sizeof(char16_t));
        units = static_cast<char16_t*>(wide.get());
    }
    // Files come in GBK. One saved as UTF-8 elsewhere (marked or plainly valid UTF-8) is read as
    // such, so that its Chinese texts keep their width and the columns after them stay in place.
    const bool bom = length >= 3 && std::memcmp(source, "\xEF\xBB\xBF", 3) == 0;
    if (bom) {
        source += 3;
        length -= 3;
    }
    const size_t count = bom || isUtf8BeyondAscii(source, length)
                             ? utf8ToUtf16(source, length, units)
                             : gbkToUtf16(source, length, units);
    return std::make_unique<RawText>(std::move(wide), units, count);
}

// One table column: its heading position, width and line stride.
struct Column {
    const RawText* text = nullptr;
    int64_t heading = -1; // -1: the heading does not occur, the column reads as empty
    int width = 0;
    int stride = 0;

    int64_t position(int64_t row) const { return heading + (row + 1) * stride; }
    size_t get(int64_t row, char16_t* out) const {
        if (heading < 0 || row < 0)
            return 0;
        return text->field(position(row), width, out);
    }
};

class Reader {
public:
    Reader(const RawText& text, const ReadOptions& options) : t_(text), options_(options) {}

    // Shown once per file: a damaged file may hold thousands of such numbers, and one message
    // box per number would keep the user clicking for minutes.
    void tooLong() const {
        if (options_.notice && !tooLongShown_)
            options_.notice(MathOperation::tooLongMessage);
        tooLongShown_ = true;
    }
    // The limit counts the characters of the number's ANSI form: two for each GBK pair.
    static size_t ansiLength(const char16_t* s, size_t n) {
        if (n < 10)
            return n;
        for (size_t i = 0; i < n; ++i)
            if (s[i] >= 0x80)
                return utf16ToGbk(std::u16string(s, n)).size();
        return n;
    }
    float toFloat(const char16_t* s, size_t n) const {
        if (ansiLength(s, n) >= 20) {
            tooLong();
            return 0.0f;
        }
        return numparse::leadingFloat(s, n);
    }
    int toInt(const char16_t* s, size_t n) const {
        if (ansiLength(s, n) >= 20) {
            tooLong();
            return 0;
        }
        return numparse::leadingInt(s, n);
    }
    long long toInt64(const char16_t* s, size_t n) const {
        if (ansiLength(s, n) >= 20) {
            tooLong();
            return 0;
        }
        return numparse::leadingInt64(s, n);
    }

    std::u16string keyText(std::u16string_view key) const { return t_.keyValue(key); }
    float keyFloat(std::u16string_view key) const {
        const std::u16string v = t_.keyValue(key);
        return toFloat(v.data(), v.size());
    }
    int keyInt(std::u16string_view key, size_t from = 0) const {
        const std::u16string v = t_.keyValue(key, from);
        return toInt(v.data(), v.size());
    }

    // Where a section's headings are looked up: from its title on, so that a value earlier in
    // the file that happens to contain a heading text cannot capture the column.
    size_t sectionStart(std::u16string_view title) const {
        const size_t at = t_.find(title);
        return at == RawText::npos ? 0 : at;
    }
    Column column(size_t from, std::u16string_view heading, int width, int stride) const {
        Column c;
        c.text = &t_;
        c.width = width;
        c.stride = stride;
        size_t at = t_.find(heading, from);
        if (at == RawText::npos && from > 0)
            at = t_.find(heading);
        c.heading = at == RawText::npos ? -1 : static_cast<int64_t>(at);
        return c;
    }

    // The plain fields that make up nearly every table cell ([sign] digits [. digits], blanks
    // anywhere) are parsed in place; anything else takes the general path below. Both give
    // the same value: the fast one is exact for up to 15 digits.
    enum class Fast { Empty, Done, General };
    Fast plainNumber(const Column& c, int64_t row, bool integer, double& value) const {
        if (c.heading < 0 || row < 0)
            return Fast::General;
        const int64_t pos = c.position(row);
        const std::u16string_view t = t_.text();
        if (pos < 0 || pos + c.width > static_cast<int64_t>(t.size()))
            return Fast::General;
        const char16_t* s = t.data() + pos;
        unsigned long long m = 0;
        int digits = 0, decimals = 0, seen = 0;
        bool negative = false, point = false;
        for (int i = 0; i < c.width; ++i) {
            const char16_t ch = s[i];
            if (ch == u' ')
                continue;
            ++seen;
            if (ch >= u'0' && ch <= u'9') {
                m = m * 10 + static_cast<unsigned>(ch - u'0');
                ++digits;
                decimals += point;
            } else if ((ch == u'-' || ch == u'+') && seen == 1) {
                negative = ch == u'-';
            } else if (ch == u'.' && !point && !integer) {
                point = true;
            } else {
                return Fast::General;
            }
        }
        if (seen == 0)
            return Fast::Empty;
        if (digits == 0 || digits > 15 || seen >= 20)
            return Fast::General;
        value = numparse::fixedPointValue(m, decimals, negative);
        return Fast::Done;
    }

    // Column values: an empty field leaves the target unchanged.
    void readFloat(const Column& c, int64_t row, float& target) const {
        double v = 0;
        switch (plainNumber(c, row, false, v)) {
        case Fast::Empty:
            return;
        case Fast::Done:
            target = static_cast<float>(v);
            return;
        case Fast::General:
            break;
        }
        char16_t buf[kMaxWidth];
        const size_t n = c.get(row, buf);
        if (n > 0)
            target = toFloat(buf, n);
    }
    void readInt(const Column& c, int64_t row, int& target) const {
        double v = 0;
        switch (plainNumber(c, row, true, v)) {
        case Fast::Empty:
            return;
        case Fast::Done:
            if (v >= -2147483648.0 && v <= 2147483647.0) {
                target = static_cast<int>(v);
                return;
            }
            break;
        case Fast::General:
            break;
        }
        char16_t buf[kMaxWidth];
        const size_t n = c.get(row, buf);
        if (n > 0)
            target = toInt(buf, n);
    }
    void readInt64(const Column& c, int64_t row, long long& target) const {
        char16_t buf[kMaxWidth];
        const size_t n = c.get(row, buf);
        if (n > 0)
            target = toInt64(buf, n);
    }
    // True when nothing but blanks and line ends lies from `from` to the end of the text.
    bool blankFrom(int64_t from) const {
        const std::u16string_view t = t_.text();
        for (size_t i = static_cast<size_t>(std::max<int64_t>(from, 0)); i < t.size(); ++i)
            if (t[i] != u' ' && t[i] != u'\r' && t[i] != u'\n' && t[i] != u'\t')
                return false;
        return true;
    }
    std::u16string readText(const Column& c, int64_t row) const {
        char16_t buf[kMaxWidth];
        const size_t n = c.get(row, buf);
        return std::u16string(buf, n);
    }

private:
    const RawText& t_;
    const ReadOptions& options_;
    mutable bool tooLongShown_ = false;
};

struct SectionColumns {
    Column SI, CrossD, Gain, T0, dT, Delay, DatLen, FiltL, FiltH, Sen_dH, A, B, C;

    explicit SectionColumns(const Reader& r) {
        const size_t s = r.sectionStart(u"PODUX_CrsHlDat_SectionPara:");
        SI = r.column(s, u"SI    CrossD", 4, kSectionStride);
        CrossD = r.column(s, u"  CrossD", 8, kSectionStride);
        Gain = r.column(s, u"    Gain", 8, kSectionStride);
        T0 = r.column(s, u"  T0(us)", 8, kSectionStride);
        dT = r.column(s, u"  dT(us)", 8, kSectionStride);
        Delay = r.column(s, u"   Delay", 8, kSectionStride);
        DatLen = r.column(s, u"  DatLen", 8, kSectionStride);
        FiltL = r.column(s, u"   FiltL", 8, kSectionStride);
        FiltH = r.column(s, u"   FiltH", 8, kSectionStride);
        Sen_dH = r.column(s, u"  Sen_dH", 8, kSectionStride);
        A = r.column(s, u"       A", 8, kSectionStride);
        B = r.column(s, u"       B", 8, kSectionStride);
        C = r.column(s, u"       C", 8, kSectionStride);
    }
};

struct RayColumns {
    Column SI, RATNO, L, T, Ta, Seek, Gain, Delay, R;

    explicit RayColumns(const Reader& r) {
        const size_t s = r.sectionStart(u"PODUX_CrsHlDat_RayPara:");
        SI = r.column(s, u"SI   RATNO", 2, kRayStride);
        RATNO = r.column(s, u"   RATNO", 8, kRayStride);
        L = r.column(s, u"       L", 8, kRayStride);
        T = r.column(s, u"   T(us)", 8, kRayStride);
        Ta = r.column(s, u"  Ta(us)", 8, kRayStride);
        Seek = r.column(s, u"    Seek", 12, kRayStride);
        Gain = r.column(s, u"    Gain   Delay", 8, kRayStride);
        Delay = r.column(s, u"   Delay       R", 8, kRayStride);
        R = r.column(s, u"       R", 8, kRayStride);
    }
};

bool readSectionRecord(const Reader& r, const SectionColumns& c, int64_t row, SectionPara& p) {
    r.readInt(c.SI, row, p.SI);
    r.readFloat(c.CrossD, row, p.CrossD);
    r.readFloat(c.Gain, row, p.Gain);
    r.readFloat(c.T0, row, p.T0);
    r.readFloat(c.dT, row, p.dT);
    r.readFloat(c.Delay, row, p.Delay);
    r.readInt(c.DatLen, row, p.DatLen);
    r.readFloat(c.FiltL, row, p.FiltL);
    r.readFloat(c.FiltH, row, p.FiltH);
    r.readFloat(c.Sen_dH, row, p.Sen_dH);
    return true;
}

// Stored values (sample - 2048, 16-bit little-endian) to samples, in place: the 16-bit pattern
// shifted by 0x800.
void shiftInPlace(uint16_t* d, size_t count) {
    if constexpr (std::endian::native != std::endian::little) {
        auto* b = reinterpret_cast<unsigned char*>(d);
        for (size_t i = 0; i < count; ++i)
            d[i] = static_cast<uint16_t>((b[2 * i] | (b[2 * i + 1] << 8)) + 0x800);
        return;
    }
    size_t i = 0;
#if defined(__SSE2__)
    // Eight samples per step: the companion is by far the largest part of a job.
    const __m128i shift = _mm_set1_epi16(0x800);
    for (; i + 8 <= count; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_add_epi16(v, shift));
    }
#endif
    for (; i < count; ++i)
        d[i] = static_cast<uint16_t>(d[i] + 0x800);
}

// Samples of one waveform in storage of their own, from its stored bytes.
SampleBuffer decodeSamples(const unsigned char* p, size_t count) {
    std::vector<uint16_t> out(count);
    std::memcpy(out.data(), p, 2 * count);
    shiftInPlace(out.data(), count);
    return SampleBuffer(std::move(out));
}

// Where one point's waveform lies in the companion.
struct WaveRef {
    size_t member = 0;
    size_t area = 0;
    int point = 0;
    int64_t offset = 0;
    int64_t length = 0; // bytes
};

// Progress steps of the waveform phase of an open.
constexpr int64_t kWaveSteps = 16;
// The longest waveform (in samples) for which a companion is read ahead of the text.
constexpr int64_t kPrefetchDatLen = 8192;

// The whole companion read on a second thread while the text is read and parsed, so that the
// two halves of an open overlap; its 16-bit words are turned into samples as they arrive. Only
// taken when the text could fill the companion with waveforms, so the memory stays bounded by
// what the text can use.
class CompanionPrefetch {
public:
    explicit CompanionPrefetch(InFile& file) : file_(file) {
        try {
            block_ = allocateLargeBlock(static_cast<size_t>(file.size()));
            reading_ = std::async(std::launch::async, [this] { return readAll(); });
        } catch (const std::exception&) {
            block_.reset(); // no memory or no thread: the waveforms are read afterwards
        }
    }
    ~CompanionPrefetch() {
        cancel_ = true;
        if (reading_.valid())
            reading_.wait();
    }
    CompanionPrefetch(const CompanionPrefetch&) = delete;
    CompanionPrefetch& operator=(const CompanionPrefetch&) = delete;

    bool started() const { return reading_.valid(); }

    // Waits for the read, reporting its progress in kWaveSteps steps; the block of the whole
    // companion, or null when it could not be read whole.
    std::shared_ptr<void> take(const std::function<void(int64_t)>& progress) {
        if (!reading_.valid())
            return nullptr;
        while (reading_.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready)
            progress(kWaveSteps * done_.load() / std::max<int64_t>(file_.size(), 1));
        const bool whole = reading_.get();
        progress(kWaveSteps);
        return whole ? std::move(block_) : nullptr;
    }

private:
    bool readAll() {
        constexpr int64_t kChunk = 4 << 20;
        auto* bytes = static_cast<char*>(block_.get());
        const int64_t size = file_.size();
        for (int64_t done = 0; done < size && !cancel_;) {
            const int64_t n = std::min(kChunk, size - done);
            if (file_.readAt(bytes + done, n, done) != n)
                return false; // the companion became shorter since it was measured
            // Stored values to samples while the chunk is in the cache (chunks are of even
            // length, so a trailing odd byte is the only one left as stored).
            shiftInPlace(reinterpret_cast<uint16_t*>(bytes + done), static_cast<size_t>(n / 2));
            done += n;
            done_ = done;
        }
        return !cancel_;
    }

    InFile& file_;
    std::shared_ptr<void> block_;
    std::atomic<int64_t> done_{0};
    std::atomic<bool> cancel_{false};
    std::future<bool> reading_;
};

// Reads the waveforms of every point. When they lie close together, as every writer stores
// them, the whole range is read in one block and each point's samples are a view into it;
// a waveform at an odd position or overlapping another gets its own copy. Scattered
// waveforms are read one by one, so that memory stays near what the points need.
// `whole`, when given, holds the whole companion already read.
bool loadWaveforms(InFile& file, JobData& job, const std::vector<WaveRef>& waves,
                   const std::function<void(int64_t)>& progress, std::shared_ptr<void> whole) {
    auto pointOf = [&](const WaveRef& w) -> TestPoint& {
        return job.areas[w.member][w.area].points[static_cast<size_t>(w.point)];
    };
    if (waves.empty()) {
        progress(kWaveSteps);
        return true;
    }
    if (whole) {
        // The whole companion, already turned into samples: a waveform at an even position is
        // a view; one at an odd position straddles two stored values and gets its own copy,
        // made from the stored bytes recovered from those values.
        const auto* words = static_cast<const uint16_t*>(whole.get());
        const auto* raw = static_cast<const unsigned char*>(whole.get());
        const int64_t convertedBytes = file.size() / 2 * 2;
        std::vector<unsigned char> stored;
        for (const WaveRef& w : waves) {
            const auto count = static_cast<size_t>(w.length / 2);
            if (w.offset % 2 == 0) {
                pointOf(w).samples =
                    SampleBuffer(whole, const_cast<uint16_t*>(words + w.offset / 2), count);
                continue;
            }
            stored.resize(static_cast<size_t>(w.length));
            for (int64_t k = 0; k < w.length; ++k) {
                const int64_t at = w.offset + k;
                if (at >= convertedBytes) {
                    stored[static_cast<size_t>(k)] = raw[at];
                    continue;
                }
                const auto value = static_cast<uint16_t>(words[at / 2] - 0x800);
                stored[static_cast<size_t>(k)] =
                    static_cast<unsigned char>(at % 2 == 0 ? value & 0xFF : value >> 8);
            }
            pointOf(w).samples = decodeSamples(stored.data(), count);
        }
        return true;
    }
    int64_t lo = waves.front().offset, hi = 0, used = 0;
    bool sorted = true;
    for (size_t i = 0; i < waves.size(); ++i) {
        lo = std::min(lo, waves[i].offset);
        hi = std::max(hi, waves[i].offset + waves[i].length);
        used += waves[i].length;
        if (i > 0 && waves[i].offset < waves[i - 1].offset)
            sorted = false;
    }
    const int64_t span = hi - lo;
    if (span > used + used / 4 + (4 << 20)) {
        WaveSource source(file);
        for (size_t i = 0; i < waves.size(); ++i) {
            const WaveRef& w = waves[i];
            const unsigned char* bytes = source.get(w.offset, w.length);
            if (bytes == nullptr)
                return false;
            pointOf(w).samples = decodeSamples(bytes, static_cast<size_t>(w.length / 2));
            if (i % 1024 == 0)
                progress(kWaveSteps * static_cast<int64_t>(i) / static_cast<int64_t>(waves.size()));
        }
        progress(kWaveSteps);
        return true;
    }

    std::shared_ptr<void> block = allocateLargeBlock(static_cast<size_t>(span));
    auto* base = static_cast<unsigned char*>(block.get());
    const int64_t step = span / kWaveSteps + 1;
    for (int64_t done = 0; done < span;) {
        const int64_t n = std::min(step, span - done);
        if (file.readAt(reinterpret_cast<char*>(base) + done, n, lo + done) != n)
            return false; // the companion became shorter since it was measured
        done += n;
        progress(kWaveSteps * done / span);
    }

    // In position order, a waveform overlaps another when it starts before the furthest end
    // so far or ends after the next one starts.
    std::vector<uint32_t> order;
    if (!sorted) {
        order.resize(waves.size());
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = static_cast<uint32_t>(i);
        std::stable_sort(order.begin(), order.end(),
                         [&](uint32_t a, uint32_t b) { return waves[a].offset < waves[b].offset; });
    }
    auto at = [&](size_t i) -> const WaveRef& { return sorted ? waves[i] : waves[order[i]]; };
    std::vector<bool> shared(waves.size(), false);
    bool anyOwn = false;
    int64_t furthest = -1;
    for (size_t i = 0; i < waves.size(); ++i) {
        const WaveRef& w = at(i);
        const bool odd = (w.offset - lo) % 2 != 0;
        const bool overlapsBefore = w.offset < furthest;
        const bool overlapsAfter = i + 1 < waves.size() && at(i + 1).offset < w.offset + w.length;
        shared[i] = !(odd || overlapsBefore || overlapsAfter);
        anyOwn = anyOwn || !shared[i];
        furthest = std::max(furthest, w.offset + w.length);
    }
    // Copies first, while the block still holds the stored values.
    if (anyOwn)
        for (size_t i = 0; i < waves.size(); ++i)
            if (!shared[i]) {
                const WaveRef& w = at(i);
                pointOf(w).samples =
                    decodeSamples(base + (w.offset - lo), static_cast<size_t>(w.length / 2));
            }
    for (size_t i = 0; i < waves.size(); ++i) {
        if (!shared[i])
            continue;
        const WaveRef& w = at(i);
        auto* samples = reinterpret_cast<uint16_t*>(base + (w.offset - lo));
        const auto count = static_cast<size_t>(w.length / 2);
        shiftInPlace(samples, count);
        pointOf(w).samples = SampleBuffer(block, samples, count);
    }
    return true;
}

std::u16string readFile(const std::string& path, JobData& job, const ReadOptions& options) {
    InFile textFile(path);
    InFile waveFile(companionPath(path));
    if (!textFile.ok() || !waveFile.ok())
        return kOpenFailed;
    if (textFile.size() == 0)
        return kEmptyFile;

    // Every waveform needs a line of 140 characters; a companion that the text could fill
    // with waveforms of up to kPrefetchDatLen samples is read while the text is parsed.
    std::optional<CompanionPrefetch> prefetch;
    const int64_t waveSize = waveFile.size();
    if (waveSize >= (4 << 20) &&
        waveSize / (2 * kPrefetchDatLen) <= textFile.size() / kRayStride + 1)
        prefetch.emplace(waveFile);

    const std::unique_ptr<RawText> loaded = loadText(textFile);
    if (!loaded)
        return kEmptyFile;
    const RawText& text = *loaded;

    const Reader r(text, options);
    const bool raw = isRawPath(path);
    const bool result = isResultPath(path);

    ProjectInfo& pi = job.project;
    pi = ProjectInfo{};
    pi.DATE = r.keyText(u"DATE     :");
    pi.PERSON = r.keyText(u"PERSON   :");
    pi.SITE = r.keyText(u"SITE     :");
    pi.UNIT = r.keyText(u"UNIT     :");
    pi.INST = r.keyText(u"INST     :");
    const std::u16string method = r.keyText(u"Method   :");
    if (const int code = codeOf(kMethodLabels, method); code >= 0)
        pi.Method = code;
    pi.SPOT = r.keyText(u"SPOT     :");
    pi.LAMDA = r.keyFloat(u"λ       :");
    pi.BETA = r.keyFloat(u"β       :");
    if (pi.BETA == 0.0f)
        pi.BETA = 1.0f;
    pi.ETA = r.keyFloat(u"η       :");
    if (result)
        pi.Molddate = r.keyText(u"Molddate :");

    // Member list.
    job.members.clear();
    const size_t strengthNum = text.find(u"PODUX_CrsHlDat_StrengthNum:");
    if (strengthNum != RawText::npos) {
        // Each key is taken at its first occurrence in the whole text; the members end at the
        // first number whose key does not occur.
        const std::vector<size_t> idKeys = text.numberedKeys(u"PILEID", u"  :", 1u << 20);
        for (size_t i = 0; i < idKeys.size() && idKeys[i] != RawText::npos; ++i) {
            const std::u16string idKey = u"PILEID" + utf8ToUtf16(std::to_string(i)) + u"  :";
            const size_t at = idKeys[i];
            MemberInfo m;
            m.PILEID = text.keyValue(idKey, at);
            const std::u16string siKey = u"SI" + utf8ToUtf16(std::to_string(i)) + u"      :";
            // A missing SI key reads as an empty value, i.e. 0.
            m.SI = r.keyInt(siKey);
            job.members.push_back(std::move(m));
        }
    } else {
        MemberInfo m;
        m.PILEID = r.keyText(u"PILEID   :");
        m.SI = r.keyInt(u"SectNum  :");
        job.members.push_back(std::move(m));
    }
    const int64_t memberCount = static_cast<int64_t>(job.members.size());
    job.memberCount = static_cast<int>(memberCount);

    // Acquisition values and section records.
    const SectionColumns sc(r);
    if (raw) {
        if (!job.members.empty()) {
            MemberInfo& m = job.members.front();
            r.readFloat(sc.Delay, m.SI, pi.Delay);
            r.readFloat(sc.dT, m.SI, m.dT);
            r.readInt(sc.DatLen, m.SI, m.DatLen);
            for (size_t i = 1; i < job.members.size(); ++i) {
                job.members[i].dT = m.dT;
                job.members[i].DatLen = m.DatLen;
            }
        }
    } else {
        for (int64_t i = 0; i < memberCount; ++i) {
            MemberInfo& m = job.members[static_cast<size_t>(i)];
            r.readFloat(sc.Delay, i, pi.Delay);
            r.readFloat(sc.dT, i, m.dT);
            r.readInt(sc.DatLen, i, m.DatLen);
        }
    }
    job.sections.clear();
    const int64_t sectionRows = raw ? 2 : memberCount;
    job.sections.reserve(static_cast<size_t>(sectionRows));
    for (int64_t i = 0; i < sectionRows; ++i) {
        SectionPara p;
        readSectionRecord(r, sc, i, p);
        job.sections.push_back(p);
        if (result) {
            MemberInfo& m = job.members[static_cast<size_t>(i)];
            r.readFloat(sc.A, i, m.A);
            r.readFloat(sc.B, i, m.B);
            r.readFloat(sc.C, i, m.C);
        }
    }

    // Test areas with their waveforms.
    const RayColumns rc(r);
    const int64_t textLen = text.size();
    // The most data lines the RayPara table could hold.
    const int64_t rayLines =
        rc.Seek.heading >= 0 ? (textLen - rc.Seek.heading) / kRayStride + 1 : 0;
    {
        // Room for every area the lines could hold, with some to spare for a list that grows
        // past its first guess; a small job stays on the heap.
        const auto bytes = static_cast<size_t>(rayLines / 3 + memberCount) * sizeof(TestArea);
        std::shared_ptr<LargeArena> arena;
        if (bytes >= (1u << 20))
            arena = std::make_shared<LargeArena>(bytes + bytes / 4);
        job.areas.clear();
        job.areas.reserve(job.members.size());
        for (size_t i = 0; i < job.members.size(); ++i)
            job.areas.emplace_back(ArenaAllocator<TestArea>(arena));
    }
    std::vector<WaveRef> waves;
    waves.reserve(static_cast<size_t>(rayLines));
    // Now that the waveform lengths are known: a companion far larger than the lines could ask
    // for is not worth holding whole; the waveforms are then read one by one.
    int64_t longest = 0;
    for (const MemberInfo& m : job.members)
        longest = std::max<int64_t>(longest, m.DatLen);
    const int64_t most = rayLines * 2 * std::min<int64_t>(longest, kPrefetchDatLen);
    if (waveSize > most + most / 4 + (4 << 20))
        prefetch.reset();
    int64_t waveBytesUsed = 0;
    int64_t lastRead = 0;
    int64_t rowBase = 0;
    for (int64_t b = 0; b < memberCount && rc.Seek.heading >= 0; ++b) {
        const MemberInfo& member = job.members[static_cast<size_t>(b)];
        AreaList& list = job.areas[static_cast<size_t>(b)];
        {
            // Members of a job are mostly alike: room for the previous member's areas or an
            // even share of the lines left, whichever is more, saves regrowing every list.
            const int64_t left =
                (textLen - std::max(lastRead, rc.Seek.heading)) / (3 * kRayStride) + 1;
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
            if (rc.Seek.position(line0) + rc.Seek.width > textLen)
                break;
            // Blank lines after the table end it as well (the scan stops at the first character
            // of a data line).
            if (r.blankFrom(rc.Seek.position(line0) - kRaySeekOffset))
                break;
            int lineSI = -1;
            r.readInt(rc.SI, line0, lineSI);
            if (lineSI == b + 1 && memberCount != 1)
                break;

            TestArea area;
            int areaSI = static_cast<int>(b);
            for (int j = 0; j < 3; ++j) {
                const int64_t line = line0 + j;
                int si = areaSI, ratno = 0;
                long long seek = 0;
                float L = 0, T = 0, Ta = 0, gain = 0, delay = 0, R = 0;
                r.readInt(rc.SI, line, si);
                r.readInt(rc.RATNO, line, ratno);
                r.readFloat(rc.L, line, L);
                r.readFloat(rc.T, line, T);
                r.readFloat(rc.Ta, line, Ta);
                r.readInt64(rc.Seek, line, seek);
                lastRead = rc.Seek.position(line);
                r.readFloat(rc.Delay, line, delay);
                r.readFloat(rc.Gain, line, gain);
                r.readFloat(rc.R, line, R);

                // The waveform must lie inside the companion file, and all waveforms together
                // cannot need more bytes than it has.
                if (seek < 1 || seek - 1 > waveSize)
                    return kShdFailed;
                const int64_t offset = static_cast<int64_t>(seek) - 1;
                const int64_t len = 2 * static_cast<int64_t>(member.DatLen);
                if (member.DatLen <= 0 || offset < 0 || offset > waveSize ||
                    len > waveSize - offset || len > waveSize - waveBytesUsed)
                    return kShdFailed;
                waveBytesUsed += len;
                waves.push_back({static_cast<size_t>(b), static_cast<size_t>(k), j, offset, len});

                TestPoint& p = area.points[static_cast<size_t>(j)];
                p.index = j;
                p.ampIndex = numparse::truncToInt((Ta - delay) / member.dT);
                p.arrivalIndex = numparse::truncToInt((T - delay) / member.dT);
                p.L = L;
                p.Gain = gain;
                p.Delay = delay;
                area.Delay = delay;
                if (j == 2) {
                    area.RATNO = ratno;
                    if (raw) {
                        const int reading = numparse::truncToInt(R);
                        area.R.fill(reading);
                    }
                    areaSI = si;
                }
            }
            if (raw) {
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
    const auto waveProgress = [&](int64_t done) {
        if (options.progress)
            options.progress(memberCount + done, memberCount + kWaveSteps);
    };
    std::shared_ptr<void> whole;
    if (prefetch && !waves.empty()) {
        whole = prefetch->take(waveProgress);
        if (!whole && prefetch->started())
            return kShdFailed; // the companion became shorter while it was read
    }
    prefetch.reset();
    if (!loadWaveforms(waveFile, job, waves, waveProgress, std::move(whole)))
        return kShdFailed;

    // Result block.
    if (text.find(u"PODUX_CrsHlDat_Result:") != RawText::npos) {
        job.result.MF = r.keyFloat(u"MF       :");
        job.result.SF = r.keyFloat(u"SF       :");
        job.result.FCUE = r.keyFloat(u"FCUE     :");
        job.hasResult = true;
    } else {
        job.hasResult = false;
    }

    // Rebound data and results of a result file, matched to the areas by order.
    const size_t resultPara = result ? text.find(u"PODUX_CrsHlDat_ResultPara:") : RawText::npos;
    if (resultPara != RawText::npos) {
        static const char16_t* const rHeadings[16] = {
            u"  R1", u"  R2", u"  R3", u"  R4", u"  R5", u"  R6", u"  R7", u"  R8",
            u"  R9", u" R10", u" R11", u" R12", u" R13", u" R14", u" R15", u" R16"};
        Column rCol[16];
        for (int i = 0; i < 16; ++i)
            rCol[i] = r.column(resultPara, rHeadings[i], 4, kResultStride);
        const Column RA = r.column(resultPara, u"  RA", 4, kResultStride);
        const Column LAMDA = r.column(resultPara, u"   LAMDA", 8, kResultStride);
        const Column BETA = r.column(resultPara, u"    BETA", 8, kResultStride);
        const Column ETA = r.column(resultPara, u"     ETA", 8, kResultStride);
        const Column ANGLE = r.column(resultPara, u"   ANGLE", 8, kResultStride);
        const Column ANGLEAM = r.column(resultPara, u" ANGLEAM", 8, kResultStride);
        const Column PLANE = r.column(resultPara, u"   PLANE", 8, kResultStride);
        const Column PLANEAM = r.column(resultPara, u" PLANEAM", 8, kResultStride);
        const Column CARBON = r.column(resultPara, u"  CARBON", 8, kResultStride);
        const Column FCUI = r.column(resultPara, u"    FCUI", 8, kResultStride);
        const Column TMETHOD = r.column(resultPara, u" TMETHOD", 8, kResultStride);
        const Column TESTLOC = r.column(resultPara, u"   TESTLOC", 10, kResultStride);
        int64_t line = 0;
        for (auto& list : job.areas) {
            for (TestArea& a : list) {
                for (int i = 0; i < 16; ++i)
                    r.readInt(rCol[i], line, a.R[static_cast<size_t>(i)]);
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
    }
    return error;
}

} // namespace tavolin
