#pragma once

// A file that nobody may write while the object lives, root included: read-only
// permissions, and for root the immutable attribute (root ignores permissions).
// Header-only.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace kvtest {

class UnwritableFile {
public:
    explicit UnwritableFile(QString path) : path_(std::move(path))
    {
        QFile::setPermissions(path_, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        if (::geteuid() == 0)
            immutable_ = setImmutable(true);
    }
    ~UnwritableFile()
    {
        if (immutable_)
            setImmutable(false);
        QFile::setPermissions(path_, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    }
    UnwritableFile(const UnwritableFile &) = delete;
    UnwritableFile &operator=(const UnwritableFile &) = delete;

    // False where this machine lets the writer through anyway (a file system without
    // the attribute): the test cannot show anything there.
    bool holds() const { return ::access(QFile::encodeName(path_).constData(), W_OK) != 0; }

private:
    bool setImmutable(bool on) const
    {
        const int fd = ::open(QFile::encodeName(path_).constData(), O_RDONLY);
        if (fd < 0)
            return false;
        int flags = 0;
        bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (done) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        ::close(fd);
        return done;
    }

    QString path_;
    bool immutable_ = false;
};

}  // namespace kvtest
