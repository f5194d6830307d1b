// JSON text for the command line's machine-readable output.
#include "cli/json.h"

#include "data/textcodec.h"

#include <charconv>
#include <cmath>

namespace tavolin::cli {

namespace {

// Without a format, to_chars gives the shortest text that round-trips to the same value.
template <class T> std::string shortest(T value) {
    if (!std::isfinite(value))
        return "null";
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (ec != std::errc())
        return "null";
    return std::string(buffer, end);
}

} // namespace

std::string shortestFloat(float value) {
    return shortest(value);
}

namespace {

// Length of the valid UTF-8 sequence at s[i], or 0 when the bytes there are not one.
size_t utf8SequenceLength(std::string_view s, size_t i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = byte(i);
    if (c < 0x80)
        return 1;
    size_t n;
    uint32_t cp;
    if ((c & 0xE0) == 0xC0) {
        n = 2;
        cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        n = 3;
        cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        n = 4;
        cp = c & 0x07;
    } else {
        return 0;
    }
    if (i + n > s.size())
        return 0;
    for (size_t k = 1; k < n; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    // Reject overlong forms, surrogates and values beyond Unicode.
    static const uint32_t minimum[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < minimum[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return n;
}

} // namespace

void appendJsonString(std::string& out, std::string_view text) {
    static const char hex[] = "0123456789abcdef";
    out.push_back('"');
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            const size_t n = utf8SequenceLength(text, i);
            if (n == 0) {
                out += "\xEF\xBF\xBD";
                ++i;
            } else {
                out.append(text.substr(i, n));
                i += n;
            }
            continue;
        }
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                out += "\\u00";
                out.push_back(hex[c >> 4]);
                out.push_back(hex[c & 0xF]);
            } else {
                out.push_back(static_cast<char>(c));
            }
        }
        ++i;
    }
    out.push_back('"');
}

void JsonWriter::newline() {
    out_.push_back('\n');
    out_.append(hasItem_.size() * 2, ' ');
}

void JsonWriter::beforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!hasItem_.empty()) {
        if (hasItem_.back())
            out_ += compact_.back() ? ", " : ",";
        hasItem_.back() = true;
        if (!compact_.back())
            newline();
    }
}

void JsonWriter::beginObject() {
    beforeValue();
    out_.push_back('{');
    hasItem_.push_back(false);
    compact_.push_back(false);
}

void JsonWriter::endObject() {
    const bool any = hasItem_.back();
    hasItem_.pop_back();
    compact_.pop_back();
    if (any)
        newline();
    out_.push_back('}');
    if (hasItem_.empty())
        out_.push_back('\n');
    if (sink_ && out_.size() >= (256u << 10))
        flush();
}

void JsonWriter::beginArray(bool compact) {
    beforeValue();
    out_.push_back('[');
    hasItem_.push_back(false);
    compact_.push_back(compact);
}

void JsonWriter::endArray() {
    const bool any = hasItem_.back();
    const bool compact = compact_.back();
    hasItem_.pop_back();
    compact_.pop_back();
    if (any && !compact)
        newline();
    out_.push_back(']');
    if (hasItem_.empty())
        out_.push_back('\n');
}

JsonWriter& JsonWriter::key(std::string_view name) {
    beforeValue();
    appendJsonString(out_, name);
    out_ += ": ";
    afterKey_ = true;
    return *this;
}

void JsonWriter::value(double v) {
    beforeValue();
    out_ += shortest(v);
}

void JsonWriter::value(float v) {
    beforeValue();
    out_ += shortestFloat(v);
}

void JsonWriter::value(int v) {
    beforeValue();
    out_ += std::to_string(v);
}

void JsonWriter::value(int64_t v) {
    beforeValue();
    out_ += std::to_string(v);
}

void JsonWriter::value(uint32_t v) {
    beforeValue();
    out_ += std::to_string(v);
}

void JsonWriter::value(bool v) {
    beforeValue();
    out_ += v ? "true" : "false";
}

void JsonWriter::value(std::string_view utf8) {
    beforeValue();
    appendJsonString(out_, utf8);
}

void JsonWriter::value(const std::u16string& text) {
    value(std::string_view(utf16ToUtf8(text)));
}

void JsonWriter::null() {
    beforeValue();
    out_ += "null";
}

void JsonWriter::flush() {
    if (sink_ && !out_.empty()) {
        sink_(out_);
        out_.clear();
    }
}

} // namespace tavolin::cli
