#include "platform/WholeFile.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QtGlobal>

#include <cerrno>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace platform {

namespace {

// Qt hands over the system's reason as its English text (strerror); the usual ones in Dutch.
QString dutchReason(const QString &systemText) {
    struct Known {
        int code;
        const char *dutch;
    };
    static const Known known[] = {
        {ENOSPC, "de schijf is vol"},
#ifdef EDQUOT
        {EDQUOT, "de schijfruimte van deze gebruiker is op"},
#endif
        {EFBIG, "het bestand wordt groter dan toegestaan"},
        {EACCES, "er is geen toestemming om daar te schrijven"},
        {EPERM, "er is geen toestemming om daar te schrijven"},
        {EROFS, "de schijf is alleen te lezen"},
        {ENOENT, "de map bestaat niet"},
        {ENOTDIR, "de map bestaat niet"},
        {EISDIR, "er staat een map met die naam"},
        {EIO, "de schijf meldt een fout"},
    };
    for (const Known &k : known) {
        if (systemText == qt_error_string(k.code)) {
            return QString::fromUtf8(k.dutch);
        }
    }
    return systemText.isEmpty() ? QStringLiteral("onbekende fout")
                                : QStringLiteral("fout van het systeem (%1)").arg(systemText);
}

bool fail(QString *reason, const QString &text) {
    if (reason) {
        *reason = text;
    }
    return false;
}

}  // namespace

bool writeWholeFile(const QString &path, const QByteArray &bytes, QString *reason) {
    // QSaveFile's own refusals come in English; these two are said before it is asked.
    const QFileInfo existing(path);
    if (existing.isDir()) {
        return fail(reason, QStringLiteral("er staat een map met die naam"));
    }
    if (existing.exists() && !existing.isWritable()) {
        return fail(reason, QStringLiteral("het bestaande bestand is alleen te lezen"));
    }

    QSaveFile file(path);
    // Unbuffered, so that a write the disk refuses fails here. QSaveFile::commit() renames even
    // when flushing its own buffer failed: a full disk would put an empty or cut-off file in the
    // old one's place.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return fail(reason, dutchReason(file.errorString()));
    }
    // A write may take only part of the bytes (a size limit reached); the next one says why.
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            const QString text = dutchReason(file.errorString());
            file.cancelWriting();
            return fail(reason, text);
        }
        done += written;
    }
#ifdef Q_OS_UNIX
    // A file system that allocates late (NFS, a quota) may refuse the bytes only here; commit()
    // syncs too but ignores the answer.
    if (::fsync(file.handle()) != 0) {
        const int error = errno;
        if (error != EINVAL && error != EROFS) {  // EINVAL, EROFS: a file that cannot sync
            file.cancelWriting();
            return fail(reason, dutchReason(qt_error_string(error)));
        }
    }
#endif
    if (!file.commit()) {
        return fail(reason, dutchReason(file.errorString()));
    }
    return true;
}

}  // namespace platform
