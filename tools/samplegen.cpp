// tavolin-samplegen: writes realistic instrument file pairs (raw or result) for trying things out.
#include "samplegen_lib.h"

#include "data/datafile.h"
#include "data/textcodec.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

void usage(FILE* to) {
    std::fputs("用法：tavolin-samplegen [--members N] [--areas N] [--datlen N] [--dt US]\n"
               "                         [--raw | --result] [--standard 0|1] [--seed N] -o OUT\n"
               "OUT 以 .SHT 结尾时默认为声波原始文件，以 .SHA 结尾时默认为声波结果文件；\n"
               "同时写出同名 .SHD 波形文件。相同参数与种子总是得到相同的文件。\n",
               to);
}

template <class T> bool number(const char* text, T& value) {
    const char* end = text + std::strlen(text);
    auto [ptr, ec] = std::from_chars(text, end, value);
    return ec == std::errc() && ptr == end && end != text;
}

} // namespace

int main(int argc, char** argv) {
    using namespace tavolin;
    samplegen::SampleSpec spec;
    std::string out;
    int type = -1; // -1 from the extension, 0 raw, 1 result
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto next = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        const char* v = nullptr;
        bool ok = true;
        if (arg == "--members")
            ok = (v = next()) && number(v, spec.members);
        else if (arg == "--areas")
            ok = (v = next()) && number(v, spec.areas);
        else if (arg == "--datlen")
            ok = (v = next()) && number(v, spec.datLen);
        else if (arg == "--dt")
            ok = (v = next()) && number(v, spec.dT);
        else if (arg == "--seed")
            ok = (v = next()) && number(v, spec.seed);
        else if (arg == "--standard")
            ok = (v = next()) && number(v, spec.standard);
        else if (arg == "--raw")
            type = 0;
        else if (arg == "--result")
            type = 1;
        else if (arg == "-o" || arg == "--output")
            ok = (v = next()) && (out = v, true);
        else if (arg == "-h" || arg == "--help") {
            usage(stdout);
            return 0;
        } else
            ok = false;
        if (!ok) {
            std::fprintf(stderr, "无效的参数：%s\n", arg.c_str());
            usage(stderr);
            return 2;
        }
    }
    if (out.empty()) {
        std::fputs("缺少输出文件 -o OUT\n", stderr);
        usage(stderr);
        return 2;
    }
    if (type == -1)
        type = isRawPath(out) ? 0 : 1;
    spec.result = type == 1;
    // The writers and readers decide the format by these substrings.
    if ((spec.result ? !isResultPath(out) : !isRawPath(out)) || companionPath(out) == out) {
        std::fprintf(stderr, "输出文件应以 %s 结尾\n", spec.result ? ".SHA" : ".SHT");
        return 2;
    }
    if (const std::string problem = samplegen::checkSpec(spec); !problem.empty()) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        return 2;
    }
    const JobData job = samplegen::generateJob(spec);
    if (const std::u16string error = samplegen::writeJob(out, job, spec.result); !error.empty()) {
        std::fprintf(stderr, "%s\n", utf16ToUtf8(error).c_str());
        return 1;
    }
    return 0;
}
