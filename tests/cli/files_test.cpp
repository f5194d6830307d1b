// save, save-result, merge and waveform export, and how failures and wrong usage are reported.
#include "harness.h"

#include <fstream>
#include <sstream>

using namespace clitest;
namespace fs = std::filesystem;

namespace {

constexpr Geometry kGeometry;

std::string writeJob(const ScratchDir& dir, const std::string& name,
                     const std::vector<std::u16string>& members, int areasEach) {
    JobBuilder job;
    for (const std::u16string& member : members) {
        job.member(member);
        for (int k = 0; k < areasEach; ++k)
            job.area(same(32 + 2 * k));
    }
    const std::string path = dir.path(name);
    EXPECT_EQ(tavolin::WriteResultFile(path, job.build()), u"");
    return path;
}

std::vector<std::string> split(const std::string& text, char by) {
    std::vector<std::string> out;
    std::stringstream s(text);
    for (std::string item; std::getline(s, item, by);)
        out.push_back(item);
    return out;
}

TEST(SaveResult, ReopenedFileEvaluatesToTheSameNumbers) {
    ScratchDir dir;
    const std::string in = writeJob(dir, "in.SHA", {u"梁1", u"梁2"}, 4);
    const std::string out = dir.path("out.SHA");
    const std::vector<std::string> options = {"--standard", "tb",  "--curve", "pebble",
                                              "--eta",      "1.1", "--json"};
    std::vector<std::string> save = {"save-result", in, out};
    save.insert(save.end(), options.begin(), options.end());
    const RunResult saved = runCli(save);
    ASSERT_EQ(saved.status, 0) << saved.err;
    ASSERT_TRUE(fs::exists(out));
    ASSERT_TRUE(fs::exists(dir.path("out.SHD")));

    std::vector<std::string> again = {"evaluate", out};
    again.insert(again.end(), options.begin(), options.end());
    const RunResult reopened = runCli(again);
    ASSERT_EQ(reopened.status, 0) << reopened.err;

    const Json a = parseJson(saved.out);
    const Json b = parseJson(reopened.out);
    ASSERT_EQ(a["members"].items.size(), b["members"].items.size());
    for (size_t m = 0; m < a["members"].items.size(); ++m) {
        const Json& ma = a["members"][m];
        const Json& mb = b["members"][m];
        EXPECT_EQ(ma["PILEID"].text, mb["PILEID"].text);
        for (const char* key : {"A", "B", "C", "curve"})
            EXPECT_EQ(ma[key].text, mb[key].text) << key;
        for (const char* key : {"N", "Fmin", "Fmax", "Mf", "Sf", "Fcu", "status"})
            EXPECT_EQ(ma["evaluation"][key].text, mb["evaluation"][key].text) << key;
        for (size_t k = 0; k < ma["areas"].items.size(); ++k)
            for (const char* key : {"FCUI", "velocity", "correctedVelocity", "reboundMean", "ETA"})
                EXPECT_EQ(ma["areas"][k][key].text, mb["areas"][k][key].text) << key;
    }
    for (const char* key : {"MF", "SF", "FCUE", "status"})
        EXPECT_EQ(a["batch"][key].text, b["batch"][key].text) << key;
}

TEST(Save, ByExtension) {
    ScratchDir dir;
    const std::string in = writeJob(dir, "in.SHA", {u"板"}, 2);

    RunResult r = runCli({"save", in, dir.path("x.txt")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("无法识别的文件类型"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir.path("x.txt")));

    r = runCli({"save", in, dir.path("copy.SHT")});
    ASSERT_EQ(r.status, 0) << r.err;
    r = runCli({"evaluate", dir.path("copy.SHT"), "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const Json j = parseJson(r.out);
    EXPECT_EQ(j["members"][0]["PILEID"].text, "板");
    EXPECT_EQ(j["members"][0]["areas"].items.size(), 2u);
    // A raw file keeps no readings: every one reads back as 35.
    EXPECT_EQ(j["members"][0]["areas"][1]["R"][0].i(), 35);
}

TEST(Failures, MissingFileAndWrongUsage) {
    ScratchDir dir;
    RunResult r = runCli({"evaluate", dir.path("none.SHA")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("打开文件失败！"), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty());

    const std::string in = writeJob(dir, "in.SHA", {u"梁"}, 1);
    const std::vector<std::vector<std::string>> wrong = {
        {},
        {"frobnicate", in},
        {"evaluate"},
        {"evaluate", in, in},
        {"evaluate", in, "--standard", "gb"},
        {"evaluate", in, "--curve", "granite"},
        {"evaluate", in, "--abc", "1,2"},
        {"evaluate", in, "--abc", "0.1,1,1", "--curve", "pebble"},
        {"evaluate", in, "--eta", "11"},
        {"evaluate", in, "--eta"},
        {"evaluate", in, "--json", "--json"},
        {"save", in},
        {"merge", dir.path("m.SHA")},
        {"waveform", in, "--member", "1", "--area", "1"},
        {"waveform", in, "--member", "0", "--area", "1", "--point", "1"},
        {"waveform", in, "--member", "1", "--area", "1", "--point", "1", "--highpass", "30"},
        {"waveform", in, "--member", "1", "--area", "1", "--point", "1", "--highpass", "20",
         "--lowpass", "10"},
    };
    for (const auto& args : wrong) {
        r = runCli(args);
        std::string joined;
        for (const auto& a : args)
            joined += a + " ";
        EXPECT_EQ(r.status, 2) << joined;
        EXPECT_NE(r.err.find("tavolin-cli evaluate FILE"), std::string::npos) << joined;
    }
    r = runCli(
        {"waveform", in, "--member", "1", "--area", "1", "--point", "1", "--highpass", "30"});
    EXPECT_NE(r.err.find("高通范围为0.01-20kHz"), std::string::npos) << r.err;
}

TEST(Version, TheAboutBoxVersion) {
    const RunResult r = runCli({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "tavolin-cli 1.0.30506\n"); // as the About box names it
    EXPECT_TRUE(r.err.empty());
}

TEST(Merge, MembersOfBothFilesInOrder) {
    ScratchDir dir;
    const std::string a = writeJob(dir, "a.SHA", {u"梁A"}, 2);
    const std::string b = writeJob(dir, "b.SHA", {u"柱B1", u"柱B2"}, 3);
    const std::string out = dir.path("m.SHA");
    RunResult r = runCli({"merge", out, a, b});
    ASSERT_EQ(r.status, 0) << r.err;
    r = runCli({"evaluate", out, "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const Json j = parseJson(r.out);
    ASSERT_EQ(j["members"].items.size(), 3u);
    const char* names[3] = {"梁A", "柱B1", "柱B2"};
    const size_t counts[3] = {2, 3, 3};
    for (int m = 0; m < 3; ++m) {
        EXPECT_EQ(j["members"][m]["PILEID"].text, names[m]);
        EXPECT_EQ(j["members"][m]["SI"].i(), m);
        EXPECT_EQ(j["members"][m]["areas"].items.size(), counts[m]);
        // The merge clears the coefficients; all zero reads back as crushed stone, which is
        // evaluated with (and so shows) the CECS 02:2005 crushed-stone defaults.
        EXPECT_EQ(j["members"][m]["curve"].i(), 2);
        EXPECT_EQ(j["members"][m]["A"].f(), 0.0162f);
    }
}

TEST(Merge, UnreadableInputs) {
    ScratchDir dir;
    const std::string a = writeJob(dir, "a.SHA", {u"梁A"}, 2);
    const std::string out = dir.path("m.SHA");
    // One input missing: its message, the rest merged, and a status that says so.
    RunResult r = runCli({"merge", out, dir.path("gone.SHA"), a});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("读取文件"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("打开文件失败！"), std::string::npos) << r.err;
    r = runCli({"evaluate", out, "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(parseJson(r.out)["members"].items.size(), 1u);

    // Nothing readable: nothing written.
    const std::string none = dir.path("none.SHA");
    r = runCli({"merge", none, dir.path("gone.SHA")});
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(r.err.empty());
    EXPECT_FALSE(fs::exists(none));
}

TEST(Waveform, CsvOfOnePoint) {
    ScratchDir dir;
    const std::string in = writeJob(dir, "w.SHA", {u"梁A", u"梁B"}, 2);
    RunResult r = runCli({"waveform", in, "--member", "2", "--area", "2", "--point", "3"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = split(r.out, '\n');
    ASSERT_EQ(lines.size(), static_cast<size_t>(kGeometry.datLen) + 1);
    EXPECT_EQ(lines[0], "index,time_us,raw,working");
    // Member 2 (SI 1), area 2 (RATNO 2), point 3 (index 2).
    const std::vector<uint16_t> samples = noisyWaveform(1 * 1000 + 2 * 10 + 2);
    for (int i = 0; i < kGeometry.datLen; ++i) {
        const std::vector<std::string> cells = split(lines[i + 1], ',');
        ASSERT_EQ(cells.size(), 4u) << lines[i + 1];
        EXPECT_EQ(std::stoi(cells[0]), i);
        EXPECT_EQ(std::strtof(cells[1].c_str(), nullptr),
                  static_cast<float>(i) * kGeometry.dT + kGeometry.delay);
        EXPECT_EQ(std::stoi(cells[2]), samples[i]);
        EXPECT_EQ(cells[3], cells[2]); // unfiltered: the working samples are the raw ones
    }

    r = runCli({"waveform", in, "--member", "2", "--area", "2", "--point", "3", "--highpass", "20",
                "--lowpass", "50"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> filtered = split(r.out, '\n');
    ASSERT_EQ(filtered.size(), static_cast<size_t>(kGeometry.datLen) + 1);
    int changed = 0;
    for (int i = 1; i <= kGeometry.datLen; ++i) {
        const std::vector<std::string> cells = split(filtered[i], ',');
        EXPECT_EQ(std::stoi(cells[2]), samples[i - 1]); // the raw column stays raw
        changed += cells[3] != cells[2];
    }
    EXPECT_GT(changed,
              kGeometry.datLen / 2); // white noise loses most of itself in a 20-50 kHz band

    for (const auto& where :
         std::vector<std::vector<std::string>>{{"--member", "3", "--area", "1", "--point", "1"},
                                               {"--member", "1", "--area", "3", "--point", "1"},
                                               {"--member", "1", "--area", "1", "--point", "4"}}) {
        std::vector<std::string> args = {"waveform", in};
        args.insert(args.end(), where.begin(), where.end());
        r = runCli(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_FALSE(r.err.empty());
        EXPECT_TRUE(r.out.empty());
    }
}

} // namespace
