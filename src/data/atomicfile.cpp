// Temporary files beside their targets, and the rename of a file pair that keeps the old pair on
// failure.
#include "data/atomicfile.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <string>
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

// Makes the renames in the folder of `path` durable.
void syncFolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string(".")
                               : slash == 0               ? "/"
                                                          : path.substr(0, slash);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
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
        written_ += r;
    }
#if defined(SYNC_FILE_RANGE_WRITE)
    // The disk starts on what is written while the rest is made, so that the flush before the
    // rename waits for the last piece only.
    constexpr long long kWriteBehind = 8 << 20;
    if (written_ - flushedTo_ >= kWriteBehind) {
        ::sync_file_range(fd_, flushedTo_, written_ - flushedTo_, SYNC_FILE_RANGE_WRITE);
        flushedTo_ = written_;
    }
#endif
    return true;
}

bool TempFile::finish() {
    if (finished_ || fd_ < 0)
        return finished_ && !failed_;
    // On the disk before it is renamed over the previous file: otherwise a power failure right
    // after the rename can leave an empty or truncated file where a good one was.
    const bool synced = !failed_ && ::fsync(fd_) == 0;
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    finished_ = true;
    failed_ = failed_ || !synced || !closed;
    return !failed_;
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
    syncFolderOf(text.target_); // the companion's name differs only in its last character
    return 0;
}

bool commitFile(TempFile& file) {
    if (!file.finished_ || file.failed_ || file.temp_.empty() || isDirectory(file.target_))
        return false;
    if (::rename(file.temp_.c_str(), file.target_.c_str()) != 0)
        return false;
    file.committed_ = true;
    syncFolderOf(file.target_);
    return true;
}

} // namespace tavolin
