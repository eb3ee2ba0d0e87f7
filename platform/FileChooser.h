#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace platform {

// The folder in which a file to write is offered: the user's documents folder when it exists,
// else the home folder.
QString defaultSaveFolder();

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
};

class QtFileChooser : public FileChooser {
public:
    std::optional<QString> saveFileName(QWidget *owner, const QString &title,
                                        const QString &suggestedPath,
                                        const QString &filter) override;
    std::optional<QString> openFileName(QWidget *owner, const QString &title, const QString &folder,
                                        const QString &filter) override;
};

}  // namespace platform
