// A strict reader of small JSON texts (the curve library): one value tree, with the line of every
// value so that a message can say where a file is wrong.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tavolin {

struct JsonMember;

struct JsonValue {
    enum Kind { Null, Bool, Number, String, Array, Object } kind = Null;
    int line = 1;
    bool boolean = false;
    double number = 0;
    std::string text; // a string's value, UTF-8
    std::vector<JsonValue> items;
    // An object's members in file order (a pair of an incomplete type would not compile).
    std::vector<JsonMember> members;

    // nullptr when the object has no such key (or this is not an object).
    const JsonValue* find(const std::string& key) const;
};

struct JsonMember {
    std::string first; // the key
    JsonValue second;
};

// Parses the whole text as one value; returns the message naming the line of the first fault
// ("" on success). Nesting deeper than 64 levels is refused.
std::u16string parseJson(const std::string& text, JsonValue& out);

} // namespace tavolin
