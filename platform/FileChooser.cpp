#include "platform/FileChooser.h"

#include <QFileDialog>
#include <QFileInfo>

namespace platform {

std::optional<QString> QtFileChooser::saveFileName(QWidget *owner, const QString &title,
                                                   const QString &suggestedPath,
                                                   const QString &filter) {
    QFileDialog dialog(owner, title, suggestedPath, filter);
    dialog.setObjectName(QStringLiteral("fileChooser"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QFileInfo(suggestedPath).suffix());
    dialog.selectFile(suggestedPath);
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
