// Reading, checking and writing the curve library.
#include "data/curvelibrary.h"

#include "data/csvtext.h"
#include "data/jsonread.h"
#include "data/textcodec.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace tavolin {

const NamedCurve* CurveLibrary::find(const std::u16string& name) const {
    for (const NamedCurve& c : curves)
        if (c.name == name)
            return &c;
    return nullptr;
}

std::string defaultCurveLibraryPath() {
    std::string dir;
    if (const char* own = std::getenv("TAVOLIN_CONFIG_DIR"); own && *own) {
        dir = own;
    } else if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') {
        dir = std::string(xdg) + "/tavolin";
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        dir = std::string(home) + "/.config/tavolin";
    } else {
        dir = ".";
    }
    return dir + "/curves.json";
}

namespace {

bool validRange(const std::array<double, 2>& r) {
    return std::isfinite(r[0]) && std::isfinite(r[1]) && r[0] > 0 && r[0] <= r[1];
}

double roundTo(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

std::string numberText(double value) {
    char buffer[40];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? std::string(buffer, end) : std::string("0");
}

void appendString(std::string& out, const std::u16string& text) {
    out += '"';
    for (char c : utf16ToUtf8(text)) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", u);
            out += esc;
        } else {
            out += c;
        }
    }
    out += '"';
}

std::u16string at(int line, const std::string& what) {
    return lineMessage(line, what);
}

bool readNumber(const JsonValue& object, const char* key, double& out) {
    const JsonValue* v = object.find(key);
    if (!v || v->kind != JsonValue::Number)
        return false;
    out = v->number;
    return true;
}

bool readRange(const JsonValue& object, const char* key, std::array<double, 2>& out) {
    const JsonValue* v = object.find(key);
    if (!v || v->kind != JsonValue::Array || v->items.size() != 2 ||
        v->items[0].kind != JsonValue::Number || v->items[1].kind != JsonValue::Number)
        return false;
    out = {v->items[0].number, v->items[1].number};
    return true;
}

} // namespace

std::u16string checkCurve(const NamedCurve& curve) {
    if (curve.name.empty())
        return u"曲线名称不能为空";
    for (double k : {curve.a, curve.b, curve.c})
        if (!std::isfinite(k) || k < 0 || k > 10)
            return u"曲线“" + curve.name + u"”的系数a、b、c应在 0 到 10 之间";
    if (!(curve.a > 0))
        return u"曲线“" + curve.name + u"”的系数a应大于 0";
    if (!validRange(curve.ranges.v))
        return u"曲线“" + curve.name + u"”的声速范围应满足 0 < 下限 ≤ 上限";
    if (!validRange(curve.ranges.r))
        return u"曲线“" + curve.name + u"”的回弹值范围应满足 0 < 下限 ≤ 上限";
    return {};
}

NamedCurve roundedToFilePrecision(NamedCurve curve) {
    curve.a = roundTo(curve.a, 4);
    curve.b = roundTo(curve.b, 3);
    curve.c = roundTo(curve.c, 3);
    return curve;
}

std::u16string parseCurveLibrary(const std::string& bytes, CurveLibrary& out) {
    JsonValue root;
    if (std::u16string error = parseJson(decodeUserText(bytes), root); !error.empty())
        return error;
    const JsonValue* list = root.find("curves");
    if (root.kind != JsonValue::Object || !list || list->kind != JsonValue::Array)
        return at(root.line, "应为 {\"curves\": [...]}");
    CurveLibrary library;
    for (const JsonValue& item : list->items) {
        if (item.kind != JsonValue::Object)
            return at(item.line, "每条曲线应为一个对象");
        NamedCurve curve;
        const JsonValue* name = item.find("name");
        if (!name || name->kind != JsonValue::String)
            return at(item.line, "曲线缺少名称 name");
        curve.name = utf8ToUtf16(name->text);
        if (!readNumber(item, "a", curve.a) || !readNumber(item, "b", curve.b) ||
            !readNumber(item, "c", curve.c))
            return at(item.line, "曲线缺少数值 a、b 或 c");
        if (!readRange(item, "v_range", curve.ranges.v) ||
            !readRange(item, "r_range", curve.ranges.r))
            return at(item.line, "v_range 与 r_range 应各为两个数值 [下限, 上限]");
        if (const JsonValue* note = item.find("note")) {
            if (note->kind != JsonValue::String)
                return at(note->line, "note 应为文字");
            curve.note = utf8ToUtf16(note->text);
        }
        if (std::u16string error = checkCurve(curve); !error.empty())
            return at(item.line, utf16ToUtf8(error));
        if (library.find(curve.name))
            return at(item.line, "曲线名称重复：" + name->text);
        library.curves.push_back(std::move(curve));
    }
    out = std::move(library);
    return {};
}

std::u16string readCurveLibrary(const std::string& path, CurveLibrary& out, bool missingIsEmpty) {
    std::error_code ec;
    if (missingIsEmpty && !std::filesystem::exists(path, ec)) {
        out = CurveLibrary{};
        return {};
    }
    std::string bytes;
    if (std::u16string error = readSmallFile(path, bytes); !error.empty())
        return error;
    if (std::u16string error = parseCurveLibrary(bytes, out); !error.empty())
        return u"曲线库文件 " + utf8ToUtf16(path) + u" 有误：" + error;
    return {};
}

std::string curveLibraryText(const CurveLibrary& library) {
    std::string out = "{\"curves\": [";
    for (size_t i = 0; i < library.curves.size(); ++i) {
        const NamedCurve& c = library.curves[i];
        out += i ? ",\n  {" : "\n  {";
        out += "\"name\": ";
        appendString(out, c.name);
        out += ", \"a\": " + numberText(c.a) + ", \"b\": " + numberText(c.b) +
               ", \"c\": " + numberText(c.c);
        out +=
            ", \"v_range\": [" + numberText(c.ranges.v[0]) + ", " + numberText(c.ranges.v[1]) + "]";
        out +=
            ", \"r_range\": [" + numberText(c.ranges.r[0]) + ", " + numberText(c.ranges.r[1]) + "]";
        out += ", \"note\": ";
        appendString(out, c.note);
        out += "}";
    }
    out += library.curves.empty() ? "]}\n" : "\n]}\n";
    return out;
}

std::u16string writeCurveLibrary(const std::string& path, const CurveLibrary& library) {
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty())
        std::filesystem::create_directories(folder, ec);
    return writeFileAtomically(path, curveLibraryText(library));
}

std::u16string addCurve(CurveLibrary& library, const NamedCurve& curve) {
    if (std::u16string error = checkCurve(curve); !error.empty())
        return error;
    if (library.find(curve.name))
        return u"曲线库中已有名为“" + curve.name + u"”的曲线";
    library.curves.push_back(curve);
    return {};
}

std::u16string curveNameFor(const CurveLibrary& library, float A, float B, float C) {
    auto same = [](double stored, float member, int decimals) {
        return roundTo(stored, decimals) == roundTo(static_cast<double>(member), decimals);
    };
    for (const NamedCurve& c : library.curves)
        if (same(c.a, A, 4) && same(c.b, B, 3) && same(c.c, C, 3))
            return c.name;
    return {};
}

void useNamedCurve(MemberInfo& member, const NamedCurve& curve) {
    member.curve = CurveCustom;
    member.A = static_cast<float>(curve.a);
    member.B = static_cast<float>(curve.b);
    member.C = static_cast<float>(curve.c);
    member.curveName = curve.name;
}

void nameMemberCurves(JobData& job, const CurveLibrary& library) {
    for (MemberInfo& m : job.members) {
        if (m.curve != CurveCustom) {
            m.curveName.clear();
            continue;
        }
        const NamedCurve* kept = m.curveName.empty() ? nullptr : library.find(m.curveName);
        if (kept && curveNameFor(CurveLibrary{{*kept}}, m.A, m.B, m.C) == kept->name)
            continue;
        m.curveName = curveNameFor(library, m.A, m.B, m.C);
    }
}

int markOutsideCurves(const JobData& job, const CurveLibrary& library, JobEvaluation& evaluation) {
    int marked = 0;
    for (size_t m = 0; m < evaluation.areas.size(); ++m) {
        const NamedCurve* curve = nullptr;
        if (m < job.members.size() && job.members[m].curve == CurveCustom &&
            !job.members[m].curveName.empty())
            curve = library.find(job.members[m].curveName);
        for (size_t k = 0; k < evaluation.areas[m].size(); ++k) {
            AreaStrength& s = evaluation.areas[m][k];
            s.outsideCurve = InsideCurve;
            if (!curve || m >= job.areas.size() || k >= job.areas[m].size())
                continue;
            // The strength conversion limits va the same way.
            const float va = std::min(job.areas[m][k].correctedVelocity, 9999.0f);
            s.outsideCurve = outsideCurve(va, s.correctedRebound, curve->ranges);
            if (s.outsideCurve != InsideCurve)
                ++marked;
        }
    }
    return marked;
}

} // namespace tavolin
