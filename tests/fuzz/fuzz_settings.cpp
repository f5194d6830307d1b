// Fuzz target: the settings archive read from any bytes; what was read must write and read back
// to the same archive.
#include "fuzzsupport.h"

#include "data/settings.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

using namespace tavolin;

namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string in = fuzz::scratchFolder() + "/in.ini";
    const std::string out = fuzz::scratchFolder() + "/out.ini";
    fuzz::writeFile(in, std::string(reinterpret_cast<const char*>(data), size));
    AppSettings settings;
    readSettings(in, settings);
    if (!writeSettings(out, settings))
        std::abort();
    const std::string first = readAll(out);
    AppSettings again;
    readSettings(out, again);
    if (!writeSettings(out, again))
        std::abort();
    if (readAll(out) != first) {
        std::fprintf(stderr, "the settings read back differ from those written\n");
        std::abort();
    }
    return 0;
}
