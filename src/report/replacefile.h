// A file written under a temporary name beside its target and renamed over it when complete.
#pragma once

#include <QString>

#include <string>

namespace tavolin::report {

class ReplacingFile {
public:
    explicit ReplacingFile(const QString& target);
    ~ReplacingFile(); // removes the temporary unless it was committed
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // The message when the target can never be written (it is a folder, its folder is
    // missing), else empty.
    QString check() const;
    // Where the writer writes: a name in the target's folder that does not exist yet.
    const std::string& tempPath() const { return temp_; }
    // Flushes the temporary to disk and renames it over the target; the message on failure,
    // when the previous file of that name stays as it was.
    QString commit();

    const QString& target() const { return target_; }

private:
    QString target_;
    std::string nativeTarget_;
    std::string temp_;
    bool committed_ = false;
};

// "无法写入文件“PATH”：REASON", the reason from an errno value.
QString writeFailure(const QString& target, int errorNumber);

} // namespace tavolin::report
