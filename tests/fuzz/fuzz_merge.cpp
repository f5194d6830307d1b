// Fuzz target: the merge of two inputs, a result pair and a raw pair (the input split into four
// files: text, companion, text, companion); the merged job is saved and opened again.
#include "fuzzsupport.h"

#include "data/doc.h"
#include "data/merge.h"

#include <cstdio>
#include <cstdlib>

using namespace tavolin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto files = fuzz::splitInput(data, size, 4);
    const std::vector<std::string> paths = {fuzz::writePair("a.SHA", files[0], files[1]),
                                            fuzz::writePair("b.SHT", files[2], files[3])};
    JobData merged;
    if (MergeFiles(paths, merged) == 0)
        return 0;
    const std::string out = fuzz::scratchFolder() + "/merged.SHA";
    if (!WriteResultFile(out, merged).empty())
        return 0; // values that do not fit the fixed columns are refused with a message
    CTavolinDoc doc;
    if (!doc.open(out).empty()) {
        std::fprintf(stderr, "the merged pair does not open\n");
        std::abort();
    }
    return 0;
}
