#pragma once

// Two ways to make a write fail as on a full disk. FileSizeLimit works everywhere: the process
// may not write past a size, and the write fails with EFBIG. SmallDisk is the real thing, a tiny
// tmpfs that is filled up; it needs the right to mount (root, as in CI), and a test that cannot
// have it skips with the reason.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <sys/mount.h>
#include <sys/resource.h>
#include <cerrno>
#include <csignal>
#include <cstring>

namespace fixture {

// Lowers the largest file size the process may write and ignores SIGXFSZ, so that writing
// beyond the limit fails with EFBIG the way a full disk fails; both are restored on leaving.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ok_ = getrlimit(RLIMIT_FSIZE, &old_) == 0;
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        if (ok_) {
            rlimit lowered = old_;
            lowered.rlim_cur = bytes;
            ok_ = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
        }
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;
    bool ok() const { return ok_; }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = SIG_DFL;
    bool ok_ = false;
};

// A tmpfs of a few hundred KB mounted over an existing (empty) folder, unmounted on leaving.
class SmallDisk {
public:
    explicit SmallDisk(const QString &folder, int kib = 600) : folder_(folder) {
        const QByteArray where = QFile::encodeName(folder);
        const QByteArray options = "size=" + QByteArray::number(kib) + "k,mode=0755";
        mounted_ = ::mount("tmpfs", where.constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                           options.constData()) == 0;
        if (!mounted_) {
            why_ = QStringLiteral(
                       "no tmpfs can be mounted here (%1); the file size limit tests "
                       "the same failure")
                       .arg(QString::fromLocal8Bit(std::strerror(errno)));
        }
    }
    ~SmallDisk() {
        if (mounted_) {
            ::umount2(QFile::encodeName(folder_).constData(), MNT_DETACH);
        }
    }
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool mounted() const { return mounted_; }
    QByteArray why() const { return why_.toLocal8Bit(); }

    // Fills the disk with one file until it takes no more byte; true when it is full.
    bool fill() const {
        QFile filler(QDir(folder_).filePath(QStringLiteral("vulling")));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
            return false;
        }
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size()) {
        }
        return filler.write("x", 1) != 1;
    }

private:
    QString folder_;
    QString why_;
    bool mounted_ = false;
};

}  // namespace fixture
