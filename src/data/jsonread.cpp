// Recursive-descent JSON reader with line tracking and a depth limit.
#include "data/jsonread.h"

#include "data/csvtext.h"

#include <charconv>
#include <cmath>

namespace tavolin {

const JsonValue* JsonValue::find(const std::string& key) const {
    for (const auto& m : members)
        if (m.first == key)
            return &m.second;
    return nullptr;
}

namespace {

class Parser {
public:
    explicit Parser(const std::string& s) : s_(s) {}

    std::u16string run(JsonValue& out) {
        if (!value(out, 0))
            return lineMessage(line_, error_);
        space();
        if (p_ != s_.size())
            return lineMessage(line_, "JSON 值之后还有多余的内容");
        return {};
    }

private:
    bool fail(const char* what) {
        error_ = what;
        return false;
    }
    void space() {
        while (p_ < s_.size() &&
               (s_[p_] == ' ' || s_[p_] == '\n' || s_[p_] == '\r' || s_[p_] == '\t')) {
            if (s_[p_] == '\n')
                ++line_;
            ++p_;
        }
    }
    static void appendUtf8(std::string& out, unsigned cp) {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    bool hex4(unsigned& cp) {
        if (p_ + 4 > s_.size())
            return false;
        auto [ptr, ec] = std::from_chars(s_.data() + p_, s_.data() + p_ + 4, cp, 16);
        if (ec != std::errc() || ptr != s_.data() + p_ + 4)
            return false;
        p_ += 4;
        return true;
    }
    bool string(std::string& out) {
        ++p_; // the opening quote
        while (p_ < s_.size() && s_[p_] != '"') {
            const unsigned char c = static_cast<unsigned char>(s_[p_]);
            if (c < 0x20)
                return fail("字符串中有控制字符");
            if (c != '\\') {
                out += static_cast<char>(c);
                ++p_;
                continue;
            }
            if (++p_ >= s_.size())
                break;
            const char e = s_[p_++];
            static const std::string simple = "\"\\/bfnrt", meaning = "\"\\/\b\f\n\r\t";
            if (const size_t k = simple.find(e); k != std::string::npos) {
                out += meaning[k];
            } else if (e == 'u') {
                unsigned cp = 0;
                if (!hex4(cp))
                    return fail("\\u 之后应为四位十六进制数");
                if (cp >= 0xD800 && cp < 0xDC00) {
                    unsigned low = 0;
                    if (p_ + 2 > s_.size() || s_[p_] != '\\' || s_[p_ + 1] != 'u')
                        return fail("不成对的代理字符");
                    p_ += 2;
                    if (!hex4(low) || low < 0xDC00 || low >= 0xE000)
                        return fail("不成对的代理字符");
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                } else if (cp >= 0xDC00 && cp < 0xE000) {
                    return fail("不成对的代理字符");
                }
                appendUtf8(out, cp);
            } else {
                return fail("无效的转义字符");
            }
        }
        if (p_ >= s_.size())
            return fail("字符串没有结束");
        ++p_;
        return true;
    }
    bool number(double& out) {
        const size_t start = p_;
        if (p_ < s_.size() && s_[p_] == '-')
            ++p_;
        while (p_ < s_.size() && (isdigit(static_cast<unsigned char>(s_[p_])) || s_[p_] == '.' ||
                                  s_[p_] == 'e' || s_[p_] == 'E' || s_[p_] == '+' || s_[p_] == '-'))
            ++p_;
        auto [ptr, ec] = std::from_chars(s_.data() + start, s_.data() + p_, out);
        if (p_ == start || ec != std::errc() || ptr != s_.data() + p_ || !std::isfinite(out))
            return fail("无效的数值");
        return true;
    }
    bool literal(const char* word) {
        const std::string w(word);
        if (s_.compare(p_, w.size(), w) != 0)
            return false;
        p_ += w.size();
        return true;
    }
    bool value(JsonValue& v, int depth) {
        if (depth > 64)
            return fail("嵌套过深");
        space();
        v.line = line_;
        if (p_ >= s_.size())
            return fail("缺少 JSON 值");
        const char c = s_[p_];
        if (c == '{') {
            v.kind = JsonValue::Object;
            ++p_;
            space();
            if (p_ < s_.size() && s_[p_] == '}')
                return ++p_, true;
            for (;;) {
                space();
                if (p_ >= s_.size() || s_[p_] != '"')
                    return fail("应为以引号开始的键");
                std::string key;
                if (!string(key))
                    return false;
                space();
                if (p_ >= s_.size() || s_[p_] != ':')
                    return fail("键之后应为冒号");
                ++p_;
                JsonValue item;
                if (!value(item, depth + 1))
                    return false;
                v.members.push_back({std::move(key), std::move(item)});
                space();
                if (p_ < s_.size() && s_[p_] == ',') {
                    ++p_;
                    continue;
                }
                if (p_ < s_.size() && s_[p_] == '}')
                    return ++p_, true;
                return fail("对象中应为逗号或 }");
            }
        }
        if (c == '[') {
            v.kind = JsonValue::Array;
            ++p_;
            space();
            if (p_ < s_.size() && s_[p_] == ']')
                return ++p_, true;
            for (;;) {
                JsonValue item;
                if (!value(item, depth + 1))
                    return false;
                v.items.push_back(std::move(item));
                space();
                if (p_ < s_.size() && s_[p_] == ',') {
                    ++p_;
                    continue;
                }
                if (p_ < s_.size() && s_[p_] == ']')
                    return ++p_, true;
                return fail("数组中应为逗号或 ]");
            }
        }
        if (c == '"') {
            v.kind = JsonValue::String;
            return string(v.text);
        }
        if (literal("null"))
            return v.kind = JsonValue::Null, true;
        if (literal("true"))
            return v.kind = JsonValue::Bool, v.boolean = true, true;
        if (literal("false"))
            return v.kind = JsonValue::Bool, v.boolean = false, true;
        v.kind = JsonValue::Number;
        return number(v.number);
    }

    const std::string& s_;
    size_t p_ = 0;
    int line_ = 1;
    std::string error_;
};

} // namespace

std::u16string parseJson(const std::string& text, JsonValue& out) {
    out = JsonValue{};
    return Parser(text).run(out);
}

} // namespace tavolin
