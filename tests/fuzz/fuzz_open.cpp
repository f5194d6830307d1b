// Fuzz target: a data pair (the input split into text and companion) opened by the document,
// saved as a raw and as a result pair, and both saved pairs opened again with the same
// members, areas and (in the result pair) readings.
// Built twice: with FUZZ_EXTENSION ".SHT" (raw pair) and ".SHA" (result pair).
#include "fuzzsupport.h"

#include "data/doc.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace tavolin;

namespace {

// A result pair keeps the members, their areas and each area's sixteen rebound readings; a raw
// pair holds one member and one reading column, so it keeps the areas (a job without members
// comes back as one member without areas). Names are not compared: key lines drop blanks, and
// GBK has no room for every character.
bool sameRecords(const JobData& a, const JobData& b, bool resultPair) {
    const auto records = [resultPair](const JobData& j) {
        std::vector<std::vector<std::array<int, 16>>> out(resultPair ? 0 : 1);
        for (const AreaList& areas : j.areas) {
            if (resultPair)
                out.emplace_back();
            for (const TestArea& area : areas)
                out.back().push_back(resultPair ? area.R : std::array<int, 16>{});
        }
        return out;
    };
    return (!resultPair || a.members.size() == b.members.size()) && records(a) == records(b);
}

} // namespace

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
        // What was saved must open again, with the same members, areas and readings.
        CTavolinDoc again;
        const std::u16string error = again.open(saved);
        if (!error.empty()) {
            std::fprintf(stderr, "a saved %s pair does not open again\n", out + 5);
            std::abort();
        }
        if (!sameRecords(doc.job(), again.job(), out[7] == 'A')) {
            std::fprintf(stderr, "a saved %s pair opens with other records\n", out + 5);
            std::abort();
        }
        doc.open(path);
    }
    return 0;
}
