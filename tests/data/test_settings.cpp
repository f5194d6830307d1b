// The settings archive: exact bytes, long strings, and missing, short, corrupt or oversized files.
#include "data/settings.h"

#include "support/files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>
#include <vector>

using namespace tavolin;
using namespace tavolin::testing;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override {
        // A folder of its own: test programs of several checkouts may run at once.
        dir = scratch_.dir();
        path = (dir / "tavolin.ini").string();
    }

    Bytes load() const {
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    void store(const Bytes& bytes) const {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }

    ScratchDir scratch_;
    fs::path dir;
    std::string path;
};

void append(Bytes& b, std::initializer_list<int> values) {
    for (int v : values)
        b.push_back(static_cast<uint8_t>(v));
}
void appendInt(Bytes& b, int v) {
    const uint32_t u = static_cast<uint32_t>(v);
    append(b, {int(u & 0xFF), int((u >> 8) & 0xFF), int((u >> 16) & 0xFF), int(u >> 24)});
}
void appendEmpty(Bytes& b, int count = 1) {
    for (int i = 0; i < count; ++i)
        append(b, {0xFF, 0xFE, 0xFF, 0x00});
}

// Values that differ from every built-in one, so a field read from the file is recognisable.
AppSettings sentinels() {
    AppSettings s;
    s.project.INST = u"keep-inst";
    s.project.SITE = u"keep-site";
    s.project.Delay = 99.0f;
    s.project.ETA = 7.0f;
    s.print.headerText = u"keep-header";
    s.report.testBasis = u"keep-basis";
    s.barWidths = {1, 2, 3};
    return s;
}

AppSettings small() {
    AppSettings s;
    s.project.INST = u"超声";
    s.project.SITE = u"A";
    s.project.Delay = 12.5f;
    s.project.spare = 0x01020304;
    s.project.Method = 2;
    s.project.BETA = 0.5f;
    s.project.LAMDA = 2.0f;
    s.project.ETA = 1.0f;
    s.print.marginTop = -1;
    s.print.headerText = u"页眉";
    s.report.testBasis = u"CECS 02：2005";
    s.barWidths = {220, 300, 150};
    return s;
}

// The archive of small(), byte by byte.
Bytes smallBytes() {
    Bytes b;
    append(b, {0xFF, 0xFE, 0xFF, 0x02, 0x85, 0x8D, 0xF0, 0x58}); // INST "超声"
    append(b, {0xFF, 0xFE, 0xFF, 0x01, 0x41, 0x00});             // SITE "A"
    appendEmpty(b, 3);                                           // DATE, UNIT, PERSON
    append(b, {0x00, 0x00, 0x48, 0x41});                         // Delay 12.5
    append(b, {0x04, 0x03, 0x02, 0x01});                         // spare
    appendEmpty(b);                                              // Molddate
    appendInt(b, 2);                                             // Method
    appendEmpty(b);                                              // SPOT
    append(b, {0x00, 0x00, 0x00, 0x3F, 0x00, 0x00, 0x00, 0x40, 0x00, 0x00, 0x80, 0x3F});
    for (int v : {0, 0, 0, 1, 0, 4, 2, -1, 20, 15, 15, 0, 1, 0, 5, 0, 0})
        appendInt(b, v);
    append(b, {0xFF, 0xFE, 0xFF, 0x02, 0x75, 0x98, 0x09, 0x77}); // headerText "页眉"
    for (int v : {5, 0, 0})
        appendInt(b, v);
    appendEmpty(b);                                  // footerText
    append(b, {0xFF, 0xFE, 0xFF, 0x01, 0x35, 0x00}); // projectName "5"
    appendEmpty(b, 5);
    append(b, {0xFF, 0xFE, 0xFF, 0x0C}); // testBasis, 12 characters
    for (char16_t c : std::u16string(u"CECS 02：2005"))
        append(b, {c & 0xFF, c >> 8});
    appendEmpty(b, 15);
    for (int v : {220, 300, 150})
        appendInt(b, v);
    return b;
}

} // namespace

TEST_F(SettingsFile, ExactBytesOfASmallArchive) {
    ASSERT_TRUE(writeSettings(path, small()));
    const Bytes expected = smallBytes();
    ASSERT_EQ(expected.size(), 276u);
    EXPECT_EQ(load(), expected);
}

// Every field with a value of its own, read into the built-in values and written again: a
// reader that puts any field into another's place (two margins swapped) changes the bytes.
TEST_F(SettingsFile, EveryFieldRoundTripsInItsOwnPlace) {
    AppSettings distinct;
    distinct.project = {u"仪器",    u"工地", u"2020-1-2", u"单位", u"人员", u"2019-3-4", 12.5f,
                        0x01020304, 2,       u"部位",     0.5f,    2.0f,    1.5f};
    distinct.print = {1,  2,  3,  4,  5,  6,  7,       8,  9,  10, 11,
                      12, 13, 14, 15, 16, 17, u"页眉", 18, 19, 20, u"页脚"};
    for (int i = 0; i < ReportInfo::fieldCount; ++i)
        distinct.report.field(i) = u"报告" + std::u16string(1, char16_t(u'a' + i));
    distinct.barWidths = {201, 202, 203};
    ASSERT_TRUE(writeSettings(path, distinct));
    const Bytes written = load();
    AppSettings read;
    readSettings(path, read);
    ASSERT_TRUE(writeSettings(path, read));
    EXPECT_EQ(load(), written);
}

TEST_F(SettingsFile, LongStringLengthForms) {
    struct Case {
        size_t length;
        Bytes head;
    };
    const Case cases[] = {
        {254, {0xFF, 0xFE, 0xFF, 0xFE}},
        {255, {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0x00}},
        {0xFFFD, {0xFF, 0xFE, 0xFF, 0xFF, 0xFD, 0xFF}},
        {0xFFFE, {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
        {70000, {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
    };
    for (const Case& c : cases) {
        AppSettings out;
        out.project.INST = std::u16string(c.length, u'测');
        ASSERT_TRUE(writeSettings(path, out));
        const Bytes bytes = load();
        // 242 bytes for the built-in values, whose empty INST takes 4 of them.
        ASSERT_EQ(bytes.size(), 242 - 4 + c.head.size() + 2 * c.length) << c.length;
        EXPECT_TRUE(std::equal(c.head.begin(), c.head.end(), bytes.begin())) << c.length;
        EXPECT_EQ(bytes[c.head.size()], 0x4B); // 测 = U+6D4B, low byte first
        EXPECT_EQ(bytes[c.head.size() + 1], 0x6D);
        AppSettings in = sentinels();
        readSettings(path, in);
        EXPECT_EQ(in.project.INST, out.project.INST) << c.length;
        EXPECT_EQ(in.barWidths, out.barWidths);
    }
}

TEST_F(SettingsFile, EveryTruncationKeepsBuiltInsFromTheCutOn) {
    const Bytes full = smallBytes();
    const AppSettings written = small();
    for (size_t cut = 0; cut <= full.size(); ++cut) {
        store(Bytes(full.begin(), full.begin() + cut));
        AppSettings s = sentinels();
        readSettings(path, s);
        const AppSettings keep = sentinels();
        // End offsets of some items in the archive of small().
        EXPECT_EQ(s.project.INST, cut >= 8 ? written.project.INST : keep.project.INST) << cut;
        EXPECT_EQ(s.project.SITE, cut >= 14 ? written.project.SITE : keep.project.SITE) << cut;
        EXPECT_EQ(s.project.Delay, cut >= 30 ? written.project.Delay : keep.project.Delay) << cut;
        EXPECT_EQ(s.project.ETA, cut >= 58 ? written.project.ETA : keep.project.ETA) << cut;
        EXPECT_EQ(s.print.headerText, cut >= 134 ? written.print.headerText : keep.print.headerText)
            << cut;
        EXPECT_EQ(s.report.testBasis, cut >= 204 ? written.report.testBasis : keep.report.testBasis)
            << cut;
        EXPECT_EQ(s.barWidths[0], cut >= 268 ? 220 : 1) << cut;
        EXPECT_EQ(s.barWidths[2], cut == full.size() ? 150 : 3) << cut;
    }
}

TEST_F(SettingsFile, MissingFileCorruptMarkersAndHugeLengths) {
    AppSettings s = sentinels();
    readSettings((dir / "absent.ini").string(), s);
    EXPECT_EQ(s.project.SITE, u"keep-site");
    Bytes bytes = smallBytes();
    bytes[9] = 0xFD; // the wide-text marker of SITE
    store(bytes);
    readSettings(path, s);
    EXPECT_EQ(s.project.INST, u"超声");
    EXPECT_EQ(s.project.SITE, u"keep-site");
    EXPECT_EQ(s.barWidths[0], 1);
    // Four billion characters declared, then 65533: neither is allocated nor read.
    for (const Bytes& huge :
         {Bytes{0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x41, 0},
          Bytes{0xFF, 0xFE, 0xFF, 0xFF, 0xFD, 0xFF, 0x41, 0x00, 0x42, 0x00}}) {
        store(huge);
        AppSettings t = sentinels();
        readSettings(path, t);
        EXPECT_EQ(t.project.INST, u"keep-inst");
        EXPECT_EQ(t.project.SITE, u"keep-site");
    }
}

TEST_F(SettingsFile, WritesIntoANewFolderAndFailsCleanly) {
    const std::string nested = (dir / "a" / "b" / "tavolin.ini").string();
    ASSERT_TRUE(writeSettings(nested, small()));
    AppSettings s;
    readSettings(nested, s);
    EXPECT_EQ(s.project.INST, u"超声");

    // A folder in the way of the target: refused, and no temporary file left beside it.
    fs::create_directories(dir / "c" / "tavolin.ini");
    EXPECT_FALSE(writeSettings((dir / "c" / "tavolin.ini").string(), small()));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "c"), {}), 1);
}

TEST_F(SettingsFile, ATemporaryLeftByAnotherRunIsNoObstacle) {
    // A fixed temporary name (target + ".tmp" + process id) left behind, here as a folder that
    // cannot be written: the writer takes a name of its own and leaves nothing of its own behind.
    const std::string target = (dir / "tavolin.ini").string();
    fs::create_directories(target + ".tmp" + std::to_string(::getpid()));
    ASSERT_TRUE(writeSettings(target, small()));
    AppSettings s;
    readSettings(target, s);
    EXPECT_EQ(s.project.INST, u"超声");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 2);
}
