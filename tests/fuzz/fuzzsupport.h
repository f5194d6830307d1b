// Shared by the fuzz targets: a scratch folder of this process, and inputs split into files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace tavolin::fuzz {

// Separates the files packed into one input: a text, its companion, the next text, ...
constexpr std::string_view kSeparator = "#TAVOLIN-FILE#";

// The pieces of an input at its separators; the last piece takes the rest.
inline std::vector<std::string> splitInput(const uint8_t* data, size_t size, size_t pieces) {
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> out;
    size_t from = 0;
    while (out.size() + 1 < pieces) {
        const size_t at = all.find(kSeparator, from);
        if (at == std::string_view::npos)
            break;
        out.emplace_back(all.substr(from, at - from));
        from = at + kSeparator.size();
    }
    out.emplace_back(all.substr(from));
    out.resize(pieces);
    return out;
}

// A folder of this process on a memory file system when there is one: every run writes and
// reads a few files, which the disk need not see.
inline const std::string& scratchFolder() {
    static const std::string folder = [] {
        const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : std::getenv("TMPDIR");
        std::string templ = std::string(base && *base ? base : "/tmp") + "/tavolin-fuzz-XXXXXX";
        if (!mkdtemp(templ.data()))
            std::abort();
        return templ;
    }();
    return folder;
}

inline void writeFile(const std::string& path, const std::string& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        std::abort();
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size())
        std::abort();
    std::fclose(f);
}

// Writes a text and its companion as `name` (ending in .SHT or .SHA) in the scratch folder.
inline std::string writePair(const std::string& name, const std::string& text,
                             const std::string& companion) {
    const std::string path = scratchFolder() + "/" + name;
    writeFile(path, text);
    std::string wave = path;
    wave.back() = 'D';
    writeFile(wave, companion);
    return path;
}

} // namespace tavolin::fuzz
