// Fuzz target: a data pair (the input split into text and companion) opened by the document,
// saved as a raw and as a result pair, and both saved pairs opened again.
// Built twice: with FUZZ_EXTENSION ".SHT" (raw pair) and ".SHA" (result pair).
#include "fuzzsupport.h"

#include "data/doc.h"

#include <cstdio>
#include <cstdlib>

using namespace tavolin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto files = fuzz::splitInput(data, size, 2);
    const std::string path =
        fuzz::writePair(std::string("in") + FUZZ_EXTENSION, files[0], files[1]);
    CTavolinDoc doc;
    if (!doc.open(path).empty())
        return 0;
    for (const char* out : {"/out.SHT", "/out.SHA"}) {
        const std::string saved = fuzz::scratchFolder() + out;
        // A job whose values do not fit the fixed columns is refused with a message.
        if (!doc.save(saved).empty())
            continue;
        // What was saved must open again.
        CTavolinDoc again;
        const std::u16string error = again.open(saved);
        if (!error.empty()) {
            std::fprintf(stderr, "a saved %s pair does not open again\n", out + 5);
            std::abort();
        }
        doc.open(path);
    }
    return 0;
}
