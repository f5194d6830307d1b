// Temporary files beside their targets for the office files, renamed over the target on success.
#include "report/replacefile.h"

#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavolin::report {

namespace {

std::string uniqueSuffix() {
    static std::atomic<unsigned> counter{0};
    return ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
}

QString reasonText(int e) {
    switch (e) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("磁盘空间不足");
    case EFBIG:
        return QStringLiteral("文件超出允许的大小");
    case EACCES:
    case EPERM:
        return QStringLiteral("没有写入权限");
    case EROFS:
        return QStringLiteral("文件系统只读");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("文件夹不存在");
    case EISDIR:
        return QStringLiteral("同名的文件夹已存在");
    default:
        return QString::fromLocal8Bit(std::strerror(e));
    }
}

} // namespace

QString writeFailure(const QString& target, int errorNumber) {
    QString text = QStringLiteral("无法写入文件“%1”").arg(target);
    if (errorNumber != 0)
        text += QStringLiteral("：") + reasonText(errorNumber);
    return text;
}

ReplacingFile::ReplacingFile(const QString& target)
    : target_(target), nativeTarget_(QFile::encodeName(target).toStdString()) {
    // Several tries at a free name; a leftover of a crashed run never blocks a new write.
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::string name = nativeTarget_ + uniqueSuffix();
        struct stat st {};
        if (::lstat(name.c_str(), &st) != 0) {
            temp_ = std::move(name);
            break;
        }
    }
}

ReplacingFile::~ReplacingFile() {
    if (!committed_ && !temp_.empty())
        ::unlink(temp_.c_str());
}

QString ReplacingFile::check() const {
    if (target_.isEmpty())
        return writeFailure(target_, ENOENT);
    struct stat st {};
    if (::stat(nativeTarget_.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return writeFailure(target_, EISDIR);
    const QFileInfo parent(QFileInfo(target_).absolutePath());
    if (!parent.isDir())
        return writeFailure(target_, ENOENT);
    if (temp_.empty())
        return writeFailure(target_, EEXIST);
    return {};
}

QString ReplacingFile::commit() {
    const int fd = ::open(temp_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return writeFailure(target_, errno);
    const bool synced = ::fsync(fd) == 0;
    const int syncError = errno;
    ::close(fd);
    if (!synced)
        return writeFailure(target_, syncError);
    // Keep the previous file's permissions when replacing it; a new file gets the usual ones.
    struct stat st {};
    if (::stat(nativeTarget_.c_str(), &st) == 0)
        ::chmod(temp_.c_str(), st.st_mode & 07777);
    else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::chmod(temp_.c_str(), 0666 & ~mask);
    }
    if (::rename(temp_.c_str(), nativeTarget_.c_str()) != 0)
        return writeFailure(target_, errno);
    committed_ = true;
    return {};
}

} // namespace tavolin::report
