// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/file_chooser.h"

#include <QFileDialog>
#include <QFileInfo>

namespace kelmora {

QString DialogFileChooser::chooseFileToSave(QWidget* parent, const SaveFileRequest& request) {
    QFileDialog dialog(parent, request.title);
    dialog.setObjectName(QStringLiteral("SaveFileDialog"));
    // Qt's own dialog, not the system's: it speaks the window's language.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setNameFilters(request.filters.split(QStringLiteral(";;")));
    const QFileInfo start(request.startFile);
    dialog.setDirectory(start.absolutePath());
    dialog.selectFile(start.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

QString DialogFileChooser::chooseFileToOpen(QWidget* parent, const OpenFileRequest& request) {
    QFileDialog dialog(parent, request.title);
    dialog.setObjectName(QStringLiteral("OpenFileDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(request.filters.split(QStringLiteral(";;")));
    const QFileInfo start(request.startFile);
    dialog.setDirectory(start.absolutePath());
    if (start.isFile()) {
        dialog.selectFile(start.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

} // namespace kelmora
