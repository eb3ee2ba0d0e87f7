#include "platform/FileChooser.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QStandardPaths>

#include <sys/stat.h>

namespace platform {

namespace {

// The names SQLite gives the files beside a database, after the database's own name.
constexpr const char *kDatabaseSuffixes[] = {"", "-wal", "-shm", "-journal"};

// The device and inode of a file, read with stat (links followed); nothing is opened.
std::optional<std::pair<dev_t, ino_t>> fileIdentity(const QString &path) {
    struct stat status {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &status) != 0) {
        return std::nullopt;
    }
    return std::pair{status.st_dev, status.st_ino};
}

// The path and, when it is a link, the paths it leads to (a link may point at a file not there
// yet, which writing it would make).
QStringList pathAndLinkTargets(const QString &path) {
    QStringList paths{path};
    QFileInfo info(path);
    for (int depth = 0; depth < 16 && info.isSymLink(); ++depth) {
        const QString target = info.symLinkTarget();
        if (target.isEmpty() || paths.contains(target)) {
            break;
        }
        paths << target;
        info = QFileInfo(target);
    }
    return paths;
}

bool namesDatabaseFile(const QString &path, const QString &databasePath) {
    const auto existing = fileIdentity(path);
    const QFileInfo database(databasePath);
    for (const char *suffix : kDatabaseSuffixes) {
        const QString file = databasePath + QLatin1String(suffix);
        if (existing && existing == fileIdentity(file)) {
            return true;
        }
    }
    // Not there yet: one of the names in the database's folder, in any case (a folder on a
    // memory stick may not tell cases apart).
    const QFileInfo chosen(path);
    const auto folder = fileIdentity(chosen.absolutePath());
    if (!folder || folder != fileIdentity(database.absolutePath())) {
        return false;
    }
    for (const char *suffix : kDatabaseSuffixes) {
        if (chosen.fileName().compare(database.fileName() + QLatin1String(suffix),
                                      Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

// Icons and type names from a file's name alone. Qt's own provider reads the first bytes of a
// file whose name says nothing (the database's -wal and -shm among them) to guess its type, and
// closing that descriptor drops the locks SQLite holds on it.
class IconsByName : public QFileIconProvider {
public:
    using QFileIconProvider::icon;

    QIcon icon(const QFileInfo &info) const override {
        if (info.isRoot()) {
            return icon(Drive);
        }
        if (info.isDir()) {
            return icon(Folder);
        }
        return QIcon::fromTheme(typeByName(info).iconName(), icon(File));
    }

    QString type(const QFileInfo &info) const override {
        if (!info.isFile()) {
            return QFileIconProvider::type(info);  // a folder, drive or link: named, not read
        }
        const QMimeType mime = typeByName(info);
        return mime.comment().isEmpty() ? mime.name() : mime.comment();
    }

private:
    QMimeType typeByName(const QFileInfo &info) const {
        return mimes_.mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
    }

    QMimeDatabase mimes_;
};

// Qt's own dialog, never the desktop's: a desktop's dialog in this process would read the files
// it lists to guess their types.
void makeSafe(QFileDialog &dialog, QFileIconProvider &icons) {
    dialog.setObjectName(QStringLiteral("fileChooser"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontUseCustomDirectoryIcons);
    dialog.setIconProvider(&icons);
}

}  // namespace

bool isDatabaseFile(const QString &path, const QString &databasePath) {
    if (path.isEmpty() || databasePath.isEmpty()) {
        return false;
    }
    for (const QString &candidate : pathAndLinkTargets(path)) {
        if (namesDatabaseFile(candidate, databasePath)) {
            return true;
        }
    }
    return false;
}

QString FileChooser::refusal(const QString &path) const {
    if (!isDatabaseFile(path, database_)) {
        return {};
    }
    return QStringLiteral(
               "%1 is een bestand van de database van Kringbaas zelf. Kies een "
               "ander bestand.")
        .arg(QDir::toNativeSeparators(path));
}

QString defaultSaveFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir()) {
        return documents;
    }
    return QDir::homePath();
}

std::optional<QString> QtFileChooser::saveFileName(QWidget *owner, const QString &title,
                                                   const QString &suggestedPath,
                                                   const QString &filter) {
    // A dialog given a path in a missing folder stands elsewhere while it still offers that
    // path, which then cannot be written; the name is offered where the dialog stands.
    const QFileInfo suggested(suggestedPath);
    const QString folder =
        suggested.absoluteDir().exists() ? suggested.absolutePath() : defaultSaveFolder();
    IconsByName icons;  // outlives the dialog
    QFileDialog dialog(owner, title, folder, filter);
    makeSafe(dialog, icons);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(suggested.suffix());
    dialog.selectFile(QDir(folder).filePath(suggested.fileName()));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().first();
}

std::optional<QString> QtFileChooser::openFileName(QWidget *owner, const QString &title,
                                                   const QString &folder, const QString &filter) {
    IconsByName icons;  // outlives the dialog
    QFileDialog dialog(owner, title, folder, filter);
    makeSafe(dialog, icons);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().first();
}

}  // namespace platform
