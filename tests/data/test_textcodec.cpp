// GBK <-> UTF-16 and UTF-8 <-> UTF-16 conversions, including bytes and characters that do not fit.
#include "data/textcodec.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

using namespace tavolin;

TEST(TextCodec, GbkOfKnownCharacters) {
    // 超 B3AC, 声 C9F9, 测 B2E2, 区 C7F8 in code page 936.
    EXPECT_EQ(utf16ToGbk(u"超声测区"), "\xB3\xAC\xC9\xF9\xB2\xE2\xC7\xF8");
    EXPECT_EQ(gbkToUtf16("\xB3\xAC\xC9\xF9\xB2\xE2\xC7\xF8"), u"超声测区");
    EXPECT_EQ(utf16ToGbk(u"a超 b"), "a\xB3\xAC b");
    EXPECT_EQ(gbkToUtf16("SITE     :\xB3\xAC\r\n"), u"SITE     :超\r\n");
    // A trail byte in the ASCII range stays with its lead byte: 丂 is 81 40.
    EXPECT_EQ(gbkToUtf16("\x81\x40@"), u"丂@");
    EXPECT_EQ(gbkToUtf16("\x80"), u"€");
}

TEST(TextCodec, AsciiAndEmptyPassUnchanged) {
    std::string all;
    for (int c = 0; c < 128; ++c)
        all.push_back(static_cast<char>(c));
    const std::u16string wide = gbkToUtf16(all);
    ASSERT_EQ(wide.size(), 128u);
    for (int c = 0; c < 128; ++c)
        EXPECT_EQ(wide[static_cast<size_t>(c)], static_cast<char16_t>(c));
    EXPECT_EQ(utf16ToGbk(wide), all);
    EXPECT_EQ(gbkToUtf16(""), u"");
    EXPECT_EQ(utf16ToGbk(u""), "");
}

TEST(TextCodec, UndecodableBytesBecomeReplacementCharacters) {
    EXPECT_EQ(gbkToUtf16("A\xFF"
                         "B"),
              u"A\uFFFDB");
    EXPECT_EQ(gbkToUtf16("AB\xB3"), u"AB\uFFFD"); // lead byte at the end
    EXPECT_EQ(gbkToUtf16("\xFF\xFF\xB3\xAC"), u"\uFFFD\uFFFD超");
}

TEST(TextCodec, UnencodableCharactersBecomeQuestionMarks) {
    EXPECT_EQ(utf16ToGbk(u"a\u0E01b"), "a?b");     // Thai is not in code page 936
    EXPECT_EQ(utf16ToGbk(u"x\U0001F600y"), "x?y"); // one mark for a surrogate pair
    EXPECT_EQ(utf16ToGbk(std::u16string(u"a") + char16_t(0xD800) + u"b"), "a?b");
    EXPECT_EQ(utf16ToGbk(u"\u0E01超"), "?\xB3\xAC");
}

TEST(TextCodec, Utf8BothWays) {
    EXPECT_EQ(utf8ToUtf16("a超\xF0\x9F\x98\x80"), u"a超\U0001F600");
    EXPECT_EQ(utf16ToUtf8(u"a超\U0001F600"), "a超\xF0\x9F\x98\x80");
    EXPECT_EQ(utf8ToUtf16("a\xC3"), u"a\uFFFD");                   // cut sequence
    EXPECT_EQ(utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");           // overlong form
    EXPECT_EQ(utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD"); // encoded surrogate
    EXPECT_EQ(utf16ToUtf8(std::u16string(1, char16_t(0xDC00))), "\xEF\xBF\xBD");
}

TEST(TextCodec, Utf8IsToldApartFromGbk) {
    // Chinese text in GBK is not valid UTF-8; the same text in UTF-8 is.
    EXPECT_FALSE(isUtf8BeyondAscii("\xB3\xAC\xC9\xF9\xB2\xE2\xC7\xF8", 8));
    EXPECT_FALSE(isUtf8BeyondAscii("Method   :\xC6\xBD\xB2\xE2\r\n", 16)); // 平测
    const std::string utf8 = "SITE     :\xE8\xB6\x85\xE5\xA3\xB0\r\n";     // 超声
    EXPECT_TRUE(isUtf8BeyondAscii(utf8.data(), utf8.size()));
    // Plain ASCII is the same in both: read as GBK.
    EXPECT_FALSE(isUtf8BeyondAscii("SITE     :abc\r\n", 15));
    // Overlong forms, surrogates and cut sequences are not UTF-8.
    EXPECT_FALSE(isUtf8BeyondAscii("\xC0\xAF", 2));
    EXPECT_FALSE(isUtf8BeyondAscii("\xED\xA0\x80", 3));
    EXPECT_FALSE(isUtf8BeyondAscii("a\xE8\xB6", 3));

    char16_t out[16];
    EXPECT_EQ(std::u16string(out, utf8ToUtf16(utf8.data(), utf8.size(), out)),
              u"SITE     :超声\r\n");
    // A character beyond the BMP takes two units.
    EXPECT_EQ(utf8ToUtf16("\xF0\x9F\x98\x80"), u"\U0001F600");
}

TEST(TextCodec, DecodingInPlaceGivesTheSameText) {
    // The reader decodes a file into the buffer that holds its bytes in the upper half. Random
    // mixes of ASCII, GBK pairs, UTF-8 sequences and bytes of neither must come out exactly as
    // from separate buffers.
    std::mt19937 rng(20240607);
    const std::vector<std::string> pieces = {"SITE     :",
                                             "\r\n",
                                             "  35.0",
                                             "\xB3\xAC",
                                             "\xC9\xF9",
                                             "\x81\x40",
                                             "\x80",
                                             "\xFF",
                                             "\xB3",
                                             "\xE8\xB6\x85",
                                             "\xF0\x9F\x98\x80",
                                             "\xC0\xAF",
                                             std::string(40, ' '),
                                             "0123456789abcdef"};
    for (int round = 0; round < 400; ++round) {
        std::string bytes;
        const int count = static_cast<int>(rng() % 200);
        for (int i = 0; i < count; ++i)
            bytes += pieces[rng() % pieces.size()];
        const size_t n = bytes.size();
        for (bool utf8 : {false, true}) {
            std::vector<char16_t> apart(n + 1);
            const size_t expected = utf8 ? utf8ToUtf16(bytes.data(), n, apart.data())
                                         : gbkToUtf16(bytes.data(), n, apart.data());
            std::vector<char16_t> shared(n + 1);
            char* upper = reinterpret_cast<char*>(shared.data()) + n;
            std::memcpy(upper, bytes.data(), n);
            const size_t got =
                utf8 ? utf8ToUtf16(upper, n, shared.data()) : gbkToUtf16(upper, n, shared.data());
            ASSERT_EQ(std::u16string(shared.data(), got), std::u16string(apart.data(), expected))
                << "round " << round << (utf8 ? " utf-8" : " gbk");
        }
    }
}
