// Files written under temporary names beside their targets and renamed over them on success.
#pragma once

#include <cstddef>
#include <string>

namespace tavolin {

class TempFile {
public:
    explicit TempFile(std::string target) : target_(std::move(target)) {}
    ~TempFile(); // removes the temporary unless it was committed
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    // Creates the temporary in the target's folder; false when that is impossible.
    bool open();
    bool write(const void* data, size_t size);
    // Flushes the temporary to the disk and closes it; false when anything written did not
    // reach the disk. Once finished, further calls give the same answer.
    bool finish();

    const std::string& target() const { return target_; }
    const std::string& tempPath() const { return temp_; }

private:
    friend int commitPair(TempFile& text, TempFile& wave);
    friend bool commitFile(TempFile& file);
    std::string target_;
    std::string temp_;
    int fd_ = -1;
    long long written_ = 0;
    long long flushedTo_ = 0; // the disk has been asked to write up to here
    bool failed_ = false;
    bool finished_ = false;
    bool committed_ = false;
};

// Renames both finished temporaries over their targets. Returns 0 on success, 1 when the text
// file could not be replaced, 2 when the companion could not; on failure the previous pair is
// left as it was.
int commitPair(TempFile& text, TempFile& wave);
// Renames one finished temporary over its target and makes the rename durable; false (and the
// previous file left as it was) on failure.
bool commitFile(TempFile& file);

} // namespace tavolin
