// Scratch folders and byte files for tests.
#include "support/files.h"

#include "data/textcodec.h"

#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

namespace tavolin::testing {

ScratchDir::ScratchDir() {
    std::random_device rd;
    const auto base = std::filesystem::temp_directory_path();
    for (;;) {
        dir_ = base / ("tavolin-test-" + std::to_string(rd()));
        if (std::filesystem::create_directory(dir_))
            break;
    }
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    // A test may have taken the write permission away to make a save fail.
    std::filesystem::permissions(dir_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(dir_, ec);
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string readText(const std::string& path) {
    return utf16ToUtf8(gbkToUtf16(readBytes(path)));
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            if (start < text.size())
                out.push_back(text.substr(start));
            break;
        }
        out.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return out;
}

} // namespace tavolin::testing
