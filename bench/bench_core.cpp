// Timing of the core on a large job (open, save, evaluation and filter against their targets)
// and of open and save on a typical one.
#include "benchsupport.h"
#include "data/datafile.h"
#include "data/doc.h"
#include "data/jobeval.h"
#include "samplegen_lib.h"
#include "sonic/filter.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace tavolin;

namespace {

using benchtiming::Timing;

// Medians of both clocks over the repetitions; `after` runs outside the clock after every
// repetition (freeing what the run built).
Timing median(int repetitions, const std::function<void()>& run,
              const std::function<void()>& after = {}) {
    benchtiming::Hooks hooks;
    hooks.after = after;
    return benchtiming::median(repetitions, run, hooks);
}

// A file's bytes read with plain I/O into fresh memory, as any program reading it must: no
// zero-fill pass, so the reference pays only the allocation's page faults and the copy.
struct Bytes {
    std::unique_ptr<char[]> data;
    size_t size = 0;
};

Bytes readWhole(const std::string& path) {
    Bytes out;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return out;
    const off_t size = ::lseek(fd, 0, SEEK_END);
    if (size > 0) {
        out.data.reset(new char[static_cast<size_t>(size)]);
        size_t done = 0;
        while (done < static_cast<size_t>(size)) {
            const ssize_t n = ::pread(fd, out.data.get() + done, static_cast<size_t>(size) - done,
                                      static_cast<off_t>(done));
            if (n <= 0)
                break;
            done += static_cast<size_t>(n);
        }
        out.size = done;
    }
    ::close(fd);
    return out;
}

bool writeWhole(const std::string& path, const Bytes& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    size_t done = 0;
    while (done < bytes.size) {
        const ssize_t n = ::write(fd, bytes.data.get() + done, bytes.size - done);
        if (n <= 0)
            break;
        done += static_cast<size_t>(n);
    }
    return ::close(fd) == 0 && done == bytes.size;
}

void plainLine(const char* what, Timing t) {
    std::printf("%-30s %9.3f ms wall %9.3f ms cpu\n", what, t.wallMs, t.cpuMs);
}

void ratioLine(const char* what, Timing t, Timing reference, double target) {
    const double wallRatio = t.wallMs / reference.wallMs;
    const double cpuRatio = t.cpuMs / reference.cpuMs;
    std::printf("%-30s %9.3f ms wall %9.3f ms cpu   %6.2fx wall %6.2fx cpu  (target <= %gx)  %s\n",
                what, t.wallMs, t.cpuMs, wallRatio, cpuRatio, target,
                wallRatio <= target ? "ok" : "MISSED");
}

void timeLine(const char* what, Timing t, double target) {
    std::printf("%-30s %9.3f ms wall %9.3f ms cpu   (target <= %g ms)  %s\n", what, t.wallMs,
                t.cpuMs, target, t.wallMs <= target ? "ok" : "MISSED");
}

} // namespace

// An optional argument runs one measurement only (open, save, evaluate or filter), for profiling;
// a second one names a result job to time instead of the generated one.
int main(int argc, char** argv) {
    const std::string only = argc > 1 ? argv[1] : "";
    auto wanted = [&](const char* name) { return only.empty() || only == name; };
    const samplegen::SampleSpec spec = benchtiming::largeJobSpec();

    const char* env = std::getenv("TMPDIR");
    std::string templ = (env && *env ? std::string(env) : fs::temp_directory_path().string()) +
                        "/tavolin-bench-XXXXXX";
    std::vector<char> dirBuffer(templ.begin(), templ.end());
    dirBuffer.push_back('\0');
    const char* dir = ::mkdtemp(dirBuffer.data());
    if (!dir) {
        std::fprintf(stderr, "cannot create a temporary folder\n");
        return 1;
    }
    const std::string folder = dir;
    const std::string job = folder + "/bench.SHA";
    const std::string saved = folder + "/saved.SHA";

    if (argc > 2) {
        // A job of the caller's instead of the generated one (for profiling the phases alone).
        std::error_code ec;
        fs::copy_file(argv[2], job, ec);
        if (!ec)
            fs::copy_file(companionPath(argv[2]), companionPath(job), ec);
        if (ec) {
            std::fprintf(stderr, "cannot copy %s and its companion\n", argv[2]);
            return 1;
        }
    } else {
        std::printf("generating %d members x %d areas x 3 points x %d samples ...\n", spec.members,
                    spec.areas, spec.datLen);
        std::fflush(stdout);
        // Generated in a child process: memory the generator freed would otherwise serve the
        // plain read's buffer already paged in, and the reference would skip the page faults
        // that every fresh read of 60 MB pays.
        const pid_t child = ::fork();
        if (child == 0) {
            const JobData data = samplegen::generateJob(spec);
            _exit(samplegen::writeJob(job, data, true).empty() ? 0 : 1);
        }
        int status = 0;
        if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
            WEXITSTATUS(status) != 0) {
            std::fprintf(stderr, "writing the job failed\n");
            return 1;
        }
    }
    const auto textBytes = fs::file_size(job);
    const auto waveBytes = fs::file_size(companionPath(job));
    std::printf("job: %.1f MB text + %.1f MB waveforms\n\n", textBytes / 1e6, waveBytes / 1e6);

    const int heavy = 5;

    // Open (reader, crushed-stone defaults, derived values of every area) against plain reads.
    std::unique_ptr<CTavolinDoc> pending;
    Timing openMs, readMs, saveMs, writeMs, evaluateMs, filterMs;
    if (wanted("open"))
        openMs = median(
            heavy,
            [&] {
                // Only the open is timed: the fresh document is freed outside the clock.
                auto fresh = std::make_unique<CTavolinDoc>();
                if (!fresh->open(job).empty())
                    std::abort();
                pending = std::move(fresh);
            },
            [&] { pending.reset(); });
    Bytes keptText, keptWave;
    readMs = median(
        heavy,
        [&] {
            keptText = readWhole(job);
            keptWave = readWhole(companionPath(job));
            if (keptText.size != textBytes || keptWave.size != waveBytes)
                std::abort();
        },
        [&] {
            keptText = {};
            keptWave = {};
        });

    // For comparison only: the same reads into memory that is already paged in, i.e. the
    // kernel's copy alone, which no open of a new job can match.
    Bytes reusedText = readWhole(job), reusedWave = readWhole(companionPath(job));
    const Timing reusedMs = median(heavy, [&] {
        const int textFd = ::open(job.c_str(), O_RDONLY | O_CLOEXEC);
        const int waveFd = ::open(companionPath(job).c_str(), O_RDONLY | O_CLOEXEC);
        const bool ok = textFd >= 0 && waveFd >= 0 &&
                        ::pread(textFd, reusedText.data.get(), reusedText.size, 0) ==
                            static_cast<ssize_t>(reusedText.size) &&
                        ::pread(waveFd, reusedWave.data.get(), reusedWave.size, 0) ==
                            static_cast<ssize_t>(reusedWave.size);
        ::close(textFd);
        ::close(waveFd);
        if (!ok)
            std::abort();
    });
    reusedText = {};
    reusedWave = {};

    CTavolinDoc doc;
    if (!doc.open(job).empty())
        return 1;

    // Save against writing the same bytes to two files.
    if (!WriteResultFile(saved, doc.job()).empty())
        return 1;
    if (wanted("save"))
        saveMs = median(heavy, [&] {
            if (!WriteResultFile(saved, doc.job()).empty())
                std::abort();
        });
    const Bytes text = readWhole(saved);
    const Bytes wave = readWhole(companionPath(saved));
    const std::string plainText = folder + "/plain.SHA";
    const std::string plainWave = folder + "/plain.SHD";
    writeMs = median(heavy, [&] {
        if (!writeWhole(plainText, text) || !writeWhole(plainWave, wave))
            std::abort();
    });

    // Velocity, strength of every area, member and batch evaluation: the command line's code.
    if (wanted("evaluate"))
        evaluateMs =
            median(21, [&] { evaluateJob(doc.job(), doc.algorithm(), doc.standard(), {}); });

    // One filter run over the three waveforms of one area, both filters on.
    const TestArea& area = doc.job().areas[0][0];
    volatile unsigned sink = 0;
    if (wanted("filter"))
        filterMs = median(201, [&] {
            for (const TestPoint& p : area.points) {
                const SampleBuffer& raw = p.unfiltered();
                std::vector<uint16_t> out = filterWaveform(raw.data(), static_cast<int>(raw.size()),
                                                           area.dT, true, 20000.0f, true, 50000.0f);
                sink = sink + out[out.size() / 2];
            }
        });

    plainLine("plain read (text + companion)", readMs);
    plainLine("  the same into paged-in memory", reusedMs);
    if (wanted("open"))
        ratioLine("open (CTavolinDoc::open)", openMs, readMs, 2.0);
    plainLine("plain write (same bytes)", writeMs);
    if (wanted("save"))
        ratioLine("save (WriteResultFile)", saveMs, writeMs, 2.0);
    if (wanted("evaluate"))
        timeLine("evaluate 10,000 areas", evaluateMs, 10.0);
    if (wanted("filter"))
        timeLine("filter one area (3 x 1024)", filterMs, 0.2);

    // A typical job: 30 members of 10 test areas.
    if (argc <= 2 && (wanted("open") || wanted("save"))) {
        samplegen::SampleSpec small = spec;
        small.members = 30;
        small.areas = 10;
        const std::string typical = folder + "/typical.SHA";
        const pid_t child = ::fork();
        if (child == 0)
            _exit(samplegen::writeJob(typical, samplegen::generateJob(small), true).empty() ? 0
                                                                                            : 1);
        int status = 0;
        if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
            WEXITSTATUS(status) != 0)
            return 1;
        const int light = 51;
        if (wanted("open"))
            plainLine("open 30 x 10 areas", median(
                                                light,
                                                [&] {
                                                    auto fresh = std::make_unique<CTavolinDoc>();
                                                    if (!fresh->open(typical).empty())
                                                        std::abort();
                                                    pending = std::move(fresh);
                                                },
                                                [&] { pending.reset(); }));
        CTavolinDoc small30;
        if (!small30.open(typical).empty())
            return 1;
        if (wanted("save"))
            plainLine(
                "save 30 x 10 areas", median(light, [&] {
                    if (!WriteResultFile(folder + "/typical-saved.SHA", small30.job()).empty())
                        std::abort();
                }));
    }

    std::error_code ec;
    fs::remove_all(folder, ec);
    return 0;
}
