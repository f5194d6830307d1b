// The files of a data pair opened for reading: bounded reads, and the text decoded to wide text.
#pragma once

#include "data/rawtext.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace tavolin {

// A file opened for reading, closed on every way out.
class InFile {
public:
    explicit InFile(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
        struct stat st {};
        if (fd_ >= 0 && (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode))) {
            ::close(fd_);
            fd_ = -1;
        }
        if (fd_ >= 0)
            size_ = st.st_size;
    }
    ~InFile() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    InFile(const InFile&) = delete;
    InFile& operator=(const InFile&) = delete;

    bool ok() const { return fd_ >= 0; }
    int64_t size() const { return size_; }

    // Reads up to `n` bytes from `offset` into `dst`; returns the bytes really read.
    int64_t readAt(char* dst, int64_t n, int64_t offset = 0) {
        int64_t done = 0;
        while (done < n) {
            const ssize_t r =
                ::pread(fd_, dst + done, static_cast<size_t>(n - done), offset + done);
            if (r < 0 && errno == EINTR)
                continue;
            if (r <= 0)
                break;
            done += r;
        }
        return done;
    }

private:
    int fd_ = -1;
    int64_t size_ = 0;
};

// The text file as wide text. Zero bytes become blanks; a LF without CR before it becomes
// CR LF, so that files edited on other systems read as written. Returns null for an empty file.
std::unique_ptr<RawText> loadText(InFile& file);

} // namespace tavolin
