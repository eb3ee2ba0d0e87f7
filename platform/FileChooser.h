#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace platform {

// The folder in which a file to write is offered: the user's documents folder when it exists,
// else the home folder.
QString defaultSaveFolder();

// Whether path names one of the files of the SQLite database at databasePath: the database
// itself, its log (-wal), its shared memory (-shm) or its journal (-journal). An existing file
// is the same file when its device and inode are (however it is reached: a link, another name
// of the folder); a file not there yet counts when it would take one of those names in the
// database's folder. Nothing is opened: on Linux closing any descriptor of a file drops every
// lock the process holds on it, and SQLite's locks are such locks.
bool isDatabaseFile(const QString &path, const QString &databasePath);

// The dialog in which the user names a file to write.
class FileChooser {
public:
    virtual ~FileChooser() = default;

    // The chosen path, or nothing when the user cancelled. suggestedPath is offered at first,
    // the dialog standing in its folder; filter is in the form "PDF-bestanden (*.pdf)".
    virtual std::optional<QString> saveFileName(QWidget *owner, const QString &title,
                                                const QString &suggestedPath,
                                                const QString &filter) = 0;
    // The chosen existing file to read, or nothing when the user cancelled.
    virtual std::optional<QString> openFileName(QWidget *owner, const QString &title,
                                                const QString &folder, const QString &filter) = 0;

    // The open database, none of whose files a chosen path may name: whoever uses a chosen
    // path asks refusal() first, before the file is opened or written.
    void keepOut(const QString &databasePath) { database_ = databasePath; }
    // Empty when the chosen path may be used; else why not, in Dutch, fit to show the user.
    QString refusal(const QString &path) const;

private:
    QString database_;
};

// Qt's own file dialog (never the desktop's, which may run in this process and read the files
// it lists), which names files by their names alone and opens none of them.
class QtFileChooser : public FileChooser {
public:
    std::optional<QString> saveFileName(QWidget *owner, const QString &title,
                                        const QString &suggestedPath,
                                        const QString &filter) override;
    std::optional<QString> openFileName(QWidget *owner, const QString &title, const QString &folder,
                                        const QString &filter) override;
};

}  // namespace platform
