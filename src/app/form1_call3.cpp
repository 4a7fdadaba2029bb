// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/busy_pointer.h"
#include "app/database_folder.h"
#include "app/failure_text.h"
#include "app/form1.h"
#include "app/settings_store.h"
#include "app/wsjtx_folder.h"
#include "export/call3_update.h"
#include "language/call3_messages.h"

#include <QComboBox>
#include <QDate>
#include <QFileInfo>

namespace kelmora {
namespace {

// WSJT-X's own list, else one in the working folder.
QString startFile() {
    const QString last = settings_store::read(settings_store::kCall3List);
    return last.isEmpty() ? fileInWsjtxFolder(QStringLiteral("CALL3.TXT")) : last;
}

} // namespace

void Form1::mnuCall3_Click() {
    const QString fileName = Combo1->currentText();
    if (!FileExists(fileName)) {
        return; // as the callsign list: nothing without a database
    }
    const Language language = messageLanguage();
    const QString list = chooser_->chooseFileToSave(
        this, {QString::fromStdString(call3_messages::dialogTitle(language)), startFile(),
               QString::fromStdString(call3_messages::fileFilters(language))});
    if (list.isEmpty()) {
        return; // cancelled
    }
    if (!settings_store::write(settings_store::kCall3List, list)) {
        qWarning("The settings could not be stored.");
    }
    Call3Result result;
    {
        const BusyPointer busy;
        if (const auto database = database_folder::fileToOpen(fileName)) {
            const Call3Source source{database_folder::fromPath(database->filename()).toStdString(),
                                     QDate::currentDate().toString(Qt::ISODate).toStdString()};
            result =
                updateCall3List(*database, database_folder::toPath(list), hasHeadingLine_, source);
        } else {
            // Matches files only as a pattern: there is no one file to read.
            result.status = ExportResult::Status::DatabaseUnreadable;
            result.failedFile = database_folder::toPath(fileName);
            result.error = {FileFailure::NotFound};
        }
    }
    showCall3Result(result, database_folder::toPath(list), language);
}

void Form1::showCall3Result(const Call3Result& result, const std::filesystem::path& list,
                            Language language) {
    if (result.status == ExportResult::Status::Written) {
        std::optional<std::string> backupFailure;
        if (result.backupError) {
            backupFailure = failure_text::reason(language, result.backupError);
        }
        const std::string backupName =
            database_folder::fromPath(result.backupFile.filename()).toStdString();
        showMessage(QMessageBox::Information,
                    call3_messages::updated(language, failure_text::fileName(list), backupName,
                                            result.counts, backupFailure));
        return;
    }
    const std::string failedFile = failure_text::fileName(result.failedFile);
    switch (result.status) {
    case ExportResult::Status::DatabaseUnreadable:
        showMessage(QMessageBox::Critical,
                    call3_messages::databaseUnreadable(
                        language, failedFile, failure_text::reason(language, result.error)));
        return;
    case ExportResult::Status::ListNotWritable:
        showMessage(QMessageBox::Critical,
                    call3_messages::listNotUpdated(language, failedFile,
                                                   failure_text::reason(language, result.error)));
        return;
    case ExportResult::Status::NoLookupList:
        showMessage(QMessageBox::Critical,
                    call3_messages::noLookupList(language, failedFile, result.listFault));
        return;
    case ExportResult::Status::SameFile:
        showMessage(QMessageBox::Critical,
                    call3_messages::sameFile(language, failedFile,
                                             failure_text::fileName(result.sameFileAs)));
        return;
    case ExportResult::Status::Written:
        return;
    }
}

} // namespace kelmora
