// Number entry shared by every entry surface and by the file readers.
#pragma once

#include <string>

namespace tavolin {

class MathOperation {
public:
    static inline const std::u16string tooLongMessage = u"数字过长，请输入小于20位的数值";

    // Leading decimal number of the text (0 when there is none). A text of 20 or more
    // characters gives 0 and returns false: the caller shows tooLongMessage.
    static bool TextToFloat(const std::u16string& text, float& value);
    static bool TextToInt(const std::u16string& text, int& value);
    // Roman numeral for 0..1000 (0 gives ""); false and `text` unchanged otherwise.
    static bool ToRoman(int n, std::u16string& text);
};

} // namespace tavolin
