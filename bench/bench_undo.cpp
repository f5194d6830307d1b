// Timing of the history and the recovery snapshot on a 10,000-area job: thousands of edits, their
// undo and redo, an edit of every area (eta), and the snapshot written after edits.
#include "benchsupport.h"
#include "data/datafile.h"
#include "data/doc.h"
#include "data/recovery.h"
#include "samplegen_lib.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;
using namespace tavolin;

namespace {

double timeMs(const std::function<void()>& run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

} // namespace

int main() {
    const samplegen::SampleSpec spec = benchtiming::largeJobSpec();

    std::string templ = fs::temp_directory_path().string() + "/tavolin-bench-XXXXXX";
    std::vector<char> buffer(templ.begin(), templ.end());
    buffer.push_back('\0');
    const char* dir = ::mkdtemp(buffer.data());
    if (!dir)
        return 1;
    const std::string folder = dir;
    const std::string job = folder + "/bench.SHA";
    if (!samplegen::writeJob(job, samplegen::generateJob(spec), true).empty())
        return 1;
    CTavolinDoc doc;
    if (!doc.open(job).empty())
        return 1;
    std::printf("job: %d members x %d areas\n", spec.members, spec.areas);

    constexpr int kSteps = 5000;
    const double edits = timeMs([&] {
        for (int i = 0; i < kSteps; ++i)
            doc.setReading(i % 100, (i / 100) % 100, i % 16, 20 + i % 30);
    });
    const size_t steps = doc.history().size();
    const double undos = timeMs([&] {
        while (doc.canUndo())
            doc.undo();
    });
    const double redos = timeMs([&] {
        while (doc.canRedo())
            doc.redo();
    });
    std::printf("%zu reading edits: %.3f ms each; undo %.3f ms, redo %.3f ms per step\n", steps,
                edits / kSteps, undos / double(steps), redos / double(steps));

    const double eta = timeMs([&] { doc.setEta(1.1f); });
    const double etaUndo = timeMs([&] { doc.undo(); });
    std::printf("eta of every area: edit %.1f ms, undo %.1f ms\n", eta, etaUndo);

    const std::string snapshot = folder + "/snapshot";
    fs::create_directory(snapshot);
    const double first = timeMs([&] { doc.writeRecovery(snapshot, 0); });
    std::vector<double> text, write;
    for (int i = 0; i < 5; ++i) {
        doc.setReading(0, 0, 0, 30 + i);
        std::string values;
        text.push_back(timeMs([&] { values = recoveryText(doc, i); }));
        write.push_back(timeMs([&] { writeRecoveryText(snapshot, values); }));
    }
    std::sort(text.begin(), text.end());
    std::sort(write.begin(), write.end());
    std::printf("recovery snapshot: first %.1f ms (links the pair); then medians: values made "
                "%.1f ms (the window's thread), written and flushed %.1f ms (a thread of its "
                "own); %.1f MB\n",
                first, text[text.size() / 2], write[write.size() / 2],
                double(fs::file_size(snapshot + "/edits.txt")) / 1e6);
    const double restore = timeMs([&] {
        CTavolinDoc other;
        other.restoreRecovery(snapshot);
    });
    std::printf("restore: %.0f ms\n", restore);
    fs::remove_all(folder);
    return 0;
}
