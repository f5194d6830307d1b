// A streaming JSON writer: indented output, escaped UTF-8 strings, shortest round-trip floats.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tavolin::cli {

// The shortest decimal text that reads back to the same 32-bit float; "null" when not finite.
std::string shortestFloat(float value);
// Appends `text` as a JSON string literal; bytes that are not valid UTF-8 become U+FFFD.
void appendJsonString(std::string& out, std::string_view text);

class JsonWriter {
public:
    // Text written so far, handed on in pieces (whenever an object ends with enough of it), so
    // that a large document never has to be held whole.
    using Sink = std::function<void(std::string_view)>;

    JsonWriter() = default;
    explicit JsonWriter(Sink sink) : sink_(std::move(sink)) {}

    void beginObject();
    void endObject();
    // A compact array keeps its items on one line (readings, positions).
    void beginArray(bool compact = false);
    void endArray();
    // Inside an object: the key of the next value.
    JsonWriter& key(std::string_view name);
    void value(float v);
    void value(double v);
    void value(int v);
    void value(int64_t v);
    void value(uint32_t v);
    void value(bool v);
    void value(std::string_view utf8);
    void value(const char* utf8) { value(std::string_view(utf8)); }
    void value(const std::u16string& text);
    void null();

    // The text not yet handed to the sink (all of it without one).
    const std::string& text() const { return out_; }
    // Hands what is left to the sink.
    void flush();

private:
    void beforeValue();
    void newline();

    Sink sink_;
    std::string out_;
    // Per open container: true once it has a member, so the next one needs a comma.
    std::vector<bool> hasItem_;
    std::vector<bool> compact_;
    bool afterKey_ = false;
};

} // namespace tavolin::cli
