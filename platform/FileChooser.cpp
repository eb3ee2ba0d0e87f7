#include "platform/FileChooser.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

namespace platform {

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
    QFileDialog dialog(owner, title, folder, filter);
    dialog.setObjectName(QStringLiteral("fileChooser"));
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
    QFileDialog dialog(owner, title, folder, filter);
    dialog.setObjectName(QStringLiteral("fileChooser"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().first();
}

}  // namespace platform
