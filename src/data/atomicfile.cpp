// Temporary files beside their targets, and the rename of a file pair that keeps the old pair on
// failure.
#include "data/atomicfile.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavolin {

namespace {

std::string uniqueSuffix() {
    static std::atomic<unsigned> counter{0};
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    return ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" +
           std::to_string(static_cast<unsigned long long>(now) % 1000000007ULL);
}

bool isDirectory(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

} // namespace

TempFile::~TempFile() {
    if (fd_ >= 0)
        ::close(fd_);
    if (!committed_ && !temp_.empty())
        ::unlink(temp_.c_str());
}

bool TempFile::open() {
    if (target_.empty() || isDirectory(target_))
        return false;
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::string name = target_ + uniqueSuffix();
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            fd_ = fd;
            temp_ = std::move(name);
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

bool TempFile::write(const void* data, size_t size) {
    if (fd_ < 0 || failed_)
        return false;
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t r = ::write(fd_, p, size);
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0) {
            failed_ = true;
            return false;
        }
        p += r;
        size -= static_cast<size_t>(r);
    }
    return true;
}

bool TempFile::finish() {
    if (fd_ < 0)
        return false;
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    return closed && !failed_;
}

int commitPair(TempFile& text, TempFile& wave) {
    if (text.temp_.empty() || isDirectory(text.target_))
        return 1;
    if (wave.temp_.empty() || isDirectory(wave.target_))
        return 2;
    // Keep the previous companion under a second name until the text is in place, so that a
    // failed rename of the text can put the old companion back.
    std::string backup;
    if (exists(wave.target_)) {
        backup = wave.target_ + uniqueSuffix();
        if (::link(wave.target_.c_str(), backup.c_str()) != 0)
            backup.clear();
    }
    if (::rename(wave.temp_.c_str(), wave.target_.c_str()) != 0) {
        if (!backup.empty())
            ::unlink(backup.c_str());
        return 2;
    }
    wave.committed_ = true;
    if (::rename(text.temp_.c_str(), text.target_.c_str()) != 0) {
        if (!backup.empty())
            ::rename(backup.c_str(), wave.target_.c_str());
        else
            ::unlink(wave.target_.c_str());
        return 1;
    }
    text.committed_ = true;
    if (!backup.empty())
        ::unlink(backup.c_str());
    return 0;
}

} // namespace tavolin
