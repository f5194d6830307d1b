// Recovery snapshots: writing the edited values of a job beside a link to its file pair, and
// reading them back over a fresh read of that pair.
#include "data/recovery.h"

#include "data/atomicfile.h"
#include "data/doc.h"
#include "data/textcodec.h"

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

namespace tavolin {

namespace fs = std::filesystem;

namespace {

constexpr const char* kMagic = "tavolin-recovery 1";
constexpr std::u16string_view kDamaged = u"恢复文件已损坏";

// Texts may hold any character: tabs, line ends and backslashes are escaped.
std::string escaped(const std::u16string& text) {
    std::string out;
    for (char c : utf16ToUtf8(text)) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

std::u16string unescaped(const std::string& field) {
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\' || i + 1 == field.size()) {
            out += field[i];
            continue;
        }
        const char c = field[++i];
        out += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
    }
    return utf8ToUtf16(out);
}

// One line of tab-separated fields appended straight to the text: a snapshot of a large job has
// hundreds of thousands of fields, made while the user waits.
class Line {
public:
    Line(std::string& out, const char* key) : out_(out) { out_ += key; }
    ~Line() { out_ += '\n'; }
    Line(const Line&) = delete;
    Line& operator=(const Line&) = delete;
    Line& operator<<(const std::string& field) {
        out_ += '\t';
        out_ += field;
        return *this;
    }
    Line& operator<<(const std::u16string& text) { return *this << escaped(text); }
    // The shortest text that reads back as the same float.
    Line& operator<<(float v) { return number(v); }
    Line& operator<<(int v) { return number(v); }
    Line& operator<<(int64_t v) { return number(v); }

private:
    template <class T> Line& number(T v) {
        char buffer[32];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
        out_ += '\t';
        out_.append(buffer, result.ptr);
        return *this;
    }
    std::string& out_;
};

// Reads the fields of one line in order; any missing or malformed field marks it bad.
class Fields {
public:
    explicit Fields(const std::string& line) {
        // Split by hand: a text at the end of a line may be empty.
        for (size_t start = 0;;) {
            const size_t tab = line.find('\t', start);
            fields_.push_back(line.substr(start, tab == std::string::npos ? tab : tab - start));
            if (tab == std::string::npos)
                break;
            start = tab + 1;
        }
    }
    const std::string& key() const { return fields_.empty() ? empty_ : fields_.front(); }
    size_t size() const { return fields_.size(); }
    bool ok() const { return ok_; }
    std::string text() { return next(); }
    std::u16string u16() { return unescaped(next()); }
    float f() {
        const std::string s = next();
        char* end = nullptr;
        const float v = std::strtof(s.c_str(), &end);
        ok_ = ok_ && !s.empty() && end && *end == '\0';
        return v;
    }
    int i() {
        const std::string s = next();
        char* end = nullptr;
        const long long v = std::strtoll(s.c_str(), &end, 10);
        ok_ = ok_ && !s.empty() && end && *end == '\0' && v >= -2147483647LL && v <= 2147483647LL;
        return static_cast<int>(v);
    }
    int64_t i64() {
        const std::string s = next();
        char* end = nullptr;
        const long long v = std::strtoll(s.c_str(), &end, 10);
        ok_ = ok_ && !s.empty() && end && *end == '\0';
        return v;
    }

private:
    std::string next() {
        if (++pos_ >= fields_.size()) {
            ok_ = false;
            return {};
        }
        return fields_[pos_];
    }
    std::vector<std::string> fields_;
    size_t pos_ = 0;
    bool ok_ = true;
    std::string empty_;
};

std::string pairName(const std::string& path) {
    return isRawPath(path) ? "job.SHT" : "job.SHA";
}

// A hard link keeps the content the job was read from even when that file is later replaced
// (saves rename over it); across file systems a copy does the same.
bool linkOrCopy(const std::string& from, const std::string& to) {
    std::error_code ec;
    fs::create_hard_link(from, to, ec);
    if (!ec)
        return true;
    ec.clear();
    return fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec) && !ec;
}

bool readLines(const std::string& path, std::vector<std::string>& lines) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::string line;
    // A snapshot holds a line per area: far fewer than this even for the largest jobs.
    constexpr size_t kMaxLines = 10'000'000;
    while (std::getline(in, line) && lines.size() < kMaxLines)
        lines.push_back(line);
    return true;
}

// The head lines: magic, path, name, time, source.
std::u16string parseHead(const std::vector<std::string>& lines, RecoveryInfo& info,
                         std::string& source) {
    if (lines.size() < 5 || lines[0] != kMagic)
        return std::u16string(kDamaged);
    Fields path(lines[1]), name(lines[2]), time(lines[3]), src(lines[4]);
    info.originalPath = utf16ToUtf8(path.u16());
    info.name = name.u16();
    info.time = time.i64();
    source = src.text();
    const bool ok = path.key() == "path" && name.key() == "name" && time.key() == "time" &&
                    src.key() == "source" && path.ok() && name.ok() && time.ok() && src.ok() &&
                    (source == "job.SHA" || source == "job.SHT");
    return ok ? std::u16string() : std::u16string(kDamaged);
}

} // namespace

std::u16string readRecoveryInfo(const std::string& folder, RecoveryInfo& info) {
    std::vector<std::string> lines;
    if (!readLines(folder + "/" + kRecoveryFile, lines))
        return std::u16string(kDamaged);
    std::string source;
    return parseHead(lines, info, source);
}

std::u16string linkRecoveryPair(const CTavolinDoc& doc, const std::string& folder) {
    if (!doc.isOpen() || doc.path().empty())
        return u"请先打开文件!";
    const std::string pair = folder + "/" + pairName(doc.path());
    std::error_code ec;
    if (fs::exists(pair, ec))
        return {};
    if (!linkOrCopy(companionPath(doc.path()), companionPath(pair)) ||
        !linkOrCopy(doc.path(), pair))
        return u"无法写入恢复文件";
    return {};
}

std::string recoveryText(const CTavolinDoc& doc, int64_t time) {
    const JobData& job = doc.job();
    std::string text;
    size_t areaCount = 0;
    for (const AreaList& areas : job.areas)
        areaCount += areas.size();
    text.reserve(4096 + areaCount * 160);
    text += kMagic;
    text += '\n';
    Line(text, "path") << utf8ToUtf16(doc.path());
    Line(text, "name") << doc.fileName();
    Line(text, "time") << time;
    Line(text, "source") << pairName(doc.path());
    Line(text, "standard") << doc.standard();
    const ProjectInfo& p = doc.project();
    Line(text, "project") << p.SITE << p.UNIT << p.PERSON << p.Molddate << p.DATE << p.ETA;
    Line(text, "members") << static_cast<int>(job.members.size());
    for (const MemberInfo& m : job.members)
        Line(text, "member") << m.pumped << m.curve << m.A << m.B << m.C << m.PILEID << m.curveName;
    Line(text, "specimens") << static_cast<int>(job.specimens.size());
    for (const Specimen& s : job.specimens)
        Line(text, "specimen") << s.member << s.area << s.kind << s.strength;
    for (const AreaList& areas : job.areas) {
        Line(text, "areas") << static_cast<int>(areas.size());
        for (const TestArea& a : areas) {
            Line line(text, "area");
            for (int r : a.R)
                line << r;
            line << a.reboundMean << a.reboundFlag << a.CARBON << a.ANGLE << a.PLANE << a.TMETHOD
                 << a.BETA << a.LAMDA << a.ETA;
            for (const TestPoint& pt : a.points)
                line << pt.L << pt.arrivalIndex << pt.ampIndex << static_cast<int>(pt.pickOrigin)
                     << pt.pickConfidence;
            line << a.TESTLOC;
        }
    }
    text += "end\n";
    return text;
}

std::u16string writeRecoveryText(const std::string& folder, const std::string& text) {
    const std::string target = folder + "/" + kRecoveryFile;
    TempFile file(target);
    if (!file.open() || !file.write(text.data(), text.size()) || !file.finish())
        return u"无法写入恢复文件";
    std::error_code ec;
    fs::rename(file.tempPath(), target, ec);
    return ec ? u"无法写入恢复文件" : std::u16string();
}

std::u16string CTavolinDoc::writeRecovery(const std::string& folder, int64_t time) const {
    if (std::u16string error = linkRecoveryPair(*this, folder); !error.empty())
        return error;
    return writeRecoveryText(folder, recoveryText(*this, time));
}

std::u16string CTavolinDoc::restoreRecovery(const std::string& folder) {
    std::vector<std::string> lines;
    if (!readLines(folder + "/" + kRecoveryFile, lines))
        return std::u16string(kDamaged);
    RecoveryInfo info;
    std::string source;
    if (std::u16string error = parseHead(lines, info, source); !error.empty())
        return error;
    JobData fresh;
    if (std::u16string error = ReadDataFile(folder + "/" + source, fresh); !error.empty())
        return error;

    // Every line is checked against the job read before anything of it is used.
    size_t at = 5;
    auto next = [&]() -> Fields { return Fields(at < lines.size() ? lines[at++] : std::string()); };
    Fields standardLine = next();
    const int standard = standardLine.i();
    Fields project = next();
    ProjectInfo& p = fresh.project;
    p.SITE = project.u16();
    p.UNIT = project.u16();
    p.PERSON = project.u16();
    p.Molddate = project.u16();
    p.DATE = project.u16();
    p.ETA = project.f();
    Fields membersLine = next();
    const int members = membersLine.i();
    bool ok = standardLine.key() == "standard" && standardLine.ok() &&
              (standard == 0 || standard == 1) && project.key() == "project" && project.ok() &&
              membersLine.key() == "members" && membersLine.ok() &&
              members == static_cast<int>(fresh.members.size()) &&
              fresh.areas.size() == fresh.members.size();
    for (int mi = 0; ok && mi < members; ++mi) {
        Fields f = next();
        MemberInfo& m = fresh.members[static_cast<size_t>(mi)];
        m.pumped = f.i();
        m.curve = f.i();
        m.A = f.f();
        m.B = f.f();
        m.C = f.f();
        m.PILEID = f.u16();
        m.curveName = f.u16();
        ok = f.key() == "member" && f.ok();
    }
    Fields specimensLine = next();
    const int specimens = specimensLine.i();
    ok = ok && specimensLine.key() == "specimens" && specimensLine.ok() && specimens >= 0 &&
         static_cast<size_t>(specimens) <= lines.size();
    std::vector<Specimen> kept;
    for (int i = 0; ok && i < specimens; ++i) {
        Fields f = next();
        Specimen s;
        s.member = f.i();
        s.area = f.i();
        s.kind = f.i();
        s.strength = f.f();
        ok = f.key() == "specimen" && f.ok() && s.member >= 0 && s.member < members &&
             s.area >= 0 &&
             s.area < static_cast<int>(fresh.areas[static_cast<size_t>(s.member)].size());
        kept.push_back(s);
    }
    if (ok)
        fresh.specimens = std::move(kept);
    for (int mi = 0; ok && mi < members; ++mi) {
        AreaList& areas = fresh.areas[static_cast<size_t>(mi)];
        Fields count = next();
        ok = count.key() == "areas" && count.i() == static_cast<int>(areas.size()) && count.ok();
        for (size_t ai = 0; ok && ai < areas.size(); ++ai) {
            Fields f = next();
            TestArea& a = areas[ai];
            for (int& r : a.R)
                r = f.i();
            a.reboundMean = f.f();
            a.reboundFlag = f.i();
            a.CARBON = f.f();
            a.ANGLE = f.i();
            a.PLANE = f.i();
            a.TMETHOD = f.i();
            a.BETA = f.f();
            a.LAMDA = f.f();
            a.ETA = f.f();
            for (TestPoint& pt : a.points) {
                pt.L = f.f();
                pt.arrivalIndex = f.i();
                pt.ampIndex = f.i();
                const int origin = f.i();
                pt.pickOrigin = static_cast<PickOrigin>(origin);
                pt.pickConfidence = f.f();
                ok = ok && origin >= static_cast<int>(PickOrigin::File) &&
                     origin <= static_cast<int>(PickOrigin::Hand);
                // An index outside the waveform would be read past its end.
                const int n = static_cast<int>(pt.samples.size());
                ok = ok && (n == 0 || (pt.arrivalIndex >= 0 && pt.arrivalIndex < n &&
                                       pt.ampIndex >= 0 && pt.ampIndex < n));
            }
            a.TESTLOC = f.u16();
            ok = ok && f.key() == "area" && f.ok();
        }
    }
    ok = ok && at < lines.size() && lines[at] == "end";
    if (!ok)
        return std::u16string(kDamaged);

    if (standard_ != standard) {
        standard_ = standardCopy_ = standard;
        makeAlgorithm();
    }
    adopt(std::move(fresh), info.originalPath);
    setModified(true);
    return {};
}

} // namespace tavolin
