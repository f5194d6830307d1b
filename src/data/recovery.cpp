// Recovery snapshots: writing the edited values of a job beside a link to its file pair, and
// reading them back over a fresh read of that pair.
#include "data/recovery.h"

#include "data/atomicfile.h"
#include "data/doc.h"
#include "data/textcodec.h"

#include <cstdio>
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

// Nine significant digits give every float back exactly.
std::string num(float v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.9g", static_cast<double>(v));
    return buffer;
}

class Line {
public:
    Line& operator<<(const std::string& field) {
        text_ += text_.empty() ? field : "\t" + field;
        return *this;
    }
    Line& operator<<(const std::u16string& text) { return *this << escaped(text); }
    Line& operator<<(float v) { return *this << num(v); }
    Line& operator<<(int v) { return *this << std::to_string(v); }
    Line& operator<<(int64_t v) { return *this << std::to_string(v); }
    std::string str() const { return text_ + "\n"; }

private:
    std::string text_;
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

std::u16string CTavolinDoc::writeRecovery(const std::string& folder, int64_t time) const {
    if (!isOpen() || path_.empty())
        return u"请先打开文件!";
    const std::string source = pairName(path_);
    const std::string pair = folder + "/" + source;
    std::error_code ec;
    if (!fs::exists(pair, ec)) {
        if (!linkOrCopy(companionPath(path_), companionPath(pair)) || !linkOrCopy(path_, pair))
            return u"无法写入恢复文件";
    }

    std::string text = std::string(kMagic) + "\n";
    text += (Line() << std::string("path") << utf8ToUtf16(path_)).str();
    text += (Line() << std::string("name") << fileName()).str();
    text += (Line() << std::string("time") << time).str();
    text += (Line() << std::string("source") << source).str();
    text += (Line() << std::string("standard") << standard_).str();
    const ProjectInfo& p = job_.project;
    text += (Line() << std::string("project") << p.SITE << p.UNIT << p.PERSON << p.Molddate
                    << p.DATE << p.ETA)
                .str();
    text += (Line() << std::string("members") << static_cast<int>(job_.members.size())).str();
    for (const MemberInfo& m : job_.members)
        text += (Line() << std::string("member") << m.pumped << m.curve << m.A << m.B << m.C
                        << m.PILEID)
                    .str();
    for (size_t mi = 0; mi < job_.areas.size(); ++mi) {
        text += (Line() << std::string("areas") << static_cast<int>(job_.areas[mi].size())).str();
        for (const TestArea& a : job_.areas[mi]) {
            Line line;
            line << std::string("area");
            for (int r : a.R)
                line << r;
            line << a.reboundMean << a.reboundFlag << a.CARBON << a.ANGLE << a.PLANE << a.TMETHOD
                 << a.BETA << a.LAMDA << a.ETA;
            for (const TestPoint& pt : a.points)
                line << pt.L << pt.arrivalIndex << pt.ampIndex;
            line << a.TESTLOC;
            text += line.str();
        }
    }
    text += "end\n";

    const std::string target = folder + "/" + kRecoveryFile;
    TempFile file(target);
    if (!file.open() || !file.write(text.data(), text.size()) || !file.finish())
        return u"无法写入恢复文件";
    fs::rename(file.tempPath(), target, ec);
    return ec ? u"无法写入恢复文件" : std::u16string();
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
        ok = f.key() == "member" && f.ok();
    }
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
