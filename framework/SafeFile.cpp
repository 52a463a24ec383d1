#include "framework/SafeFile.h"

#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Writes all bytes, going on after short writes; false on the first error
// (ENOSPC, EFBIG under a file-size limit, EIO ...).
bool WriteAll(int fd, const char* bytes, qsizetype size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, bytes, size_t(size));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return false;
        bytes += n;
        size -= n;
    }
    return true;
}

// Opens a new, empty temporary file in the target's folder (a rename only
// replaces atomically within one file system). Mode 0666 lets the umask
// apply as for any new file.
int CreateTemporary(const QByteArray& target, QByteArray& tempName)
{
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempName = target + ".tmp-" + QByteArray::number(qint64(::getpid())) + "-" +
                   QByteArray::number(counter.fetch_add(1));
        const int fd = ::open(tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Makes the rename itself durable; a folder that cannot be synced (some
// file systems refuse) does not undo a replacement that has happened.
void SyncFolder(const QByteArray& target)
{
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : target.left(slash);
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

bool ReplaceFileContents(const QString& fileName, const QByteArray& data)
{
    if (fileName.isEmpty()) return false;
    QString path = fileName;
    const QFileInfo info(fileName);
    if (info.isSymLink()) {
        const QString canonical = info.canonicalFilePath();   // empty for a dangling link
        path = canonical.isEmpty() ? info.symLinkTarget() : canonical;
    }
    const QByteArray target = QFile::encodeName(path);

    struct stat old {};
    const bool exists = ::stat(target.constData(), &old) == 0;
    if (exists) {
        // Only a plain file is replaced, and only one the user may write:
        // renaming over a read-only file would bypass its protection.
        if (!S_ISREG(old.st_mode) || ::access(target.constData(), W_OK) != 0) return false;
    }

    QByteArray tempName;
    const int fd = CreateTemporary(target, tempName);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, data.constData(), data.size());
    if (ok && exists) ok = ::fchmod(fd, old.st_mode & 07777) == 0;
    if (ok) ok = ::fsync(fd) == 0;
    // close() may be the first to report a delayed write error.
    if (::close(fd) != 0) ok = false;
    if (ok) ok = ::rename(tempName.constData(), target.constData()) == 0;
    if (!ok) {
        ::unlink(tempName.constData());
        return false;
    }
    SyncFolder(target);
    return true;
}

bool AppendFileContents(const QString& fileName, const QByteArray& data)
{
    QFile old(fileName);
    if (!old.exists()) return ReplaceFileContents(fileName, data);
    if (!old.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = old.readAll();
    if (old.error() != QFileDevice::NoError) return false;
    old.close();
    return ReplaceFileContents(fileName, bytes + data);
}
