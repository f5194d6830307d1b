// Scratch folders and byte files for tests that write and read real files.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tavolin::testing {

// A fresh folder under the system's temporary folder, removed with everything in it.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    const std::filesystem::path& dir() const { return dir_; }

private:
    std::filesystem::path dir_;
};

std::string readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::string& bytes);
// The text of a data file (GBK) as UTF-8, for readable comparisons.
std::string readText(const std::string& path);
// Lines of a data file's text, without their CR LF.
std::vector<std::string> lines(const std::string& text);

} // namespace tavolin::testing
