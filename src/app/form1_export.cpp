// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/busy_pointer.h"
#include "app/database_folder.h"
#include "app/failure_text.h"
#include "app/form1.h"
#include "export/callsign_list.h"

#include <QComboBox>
#include <QMenu>

namespace kelmora {
namespace {

struct ResultMessage {
    QMessageBox::Icon icon;
    MessageText text;
};

ResultMessage resultMessage(const ExportResult& result, std::optional<Language> language) {
    switch (result.status) {
    case ExportResult::Status::Written:
        return {
            QMessageBox::Information,
            callsignListWrittenMessage(language, database_folder::workingFolder().toStdString())};
    case ExportResult::Status::DatabaseUnreadable:
        return {QMessageBox::Critical,
                databaseUnreadableMessage(language, failure_text::fileName(result.failedFile),
                                          failure_text::reason(language, result.error))};
    case ExportResult::Status::ListNotWritable:
    case ExportResult::Status::NoLookupList: // never: the callsign list is not read
    case ExportResult::Status::SameFile:     // never: nor kept as a backup
        break;
    }
    return {QMessageBox::Critical,
            callsignListNotWrittenMessage(language, failure_text::fileName(result.failedFile),
                                          failure_text::reason(language, result.error))};
}

} // namespace

void Form1::mnuExtr_Click() {
    // Nothing to export while no database is selected.
    const bool databaseSelected = !Combo1->currentText().isEmpty();
    mnuWSJT->setEnabled(databaseSelected);
    mnuCall3->setEnabled(databaseSelected);
}

void Form1::mnuWSJTall_Click() {
    exportCallsignList(StationSelection::All);
}

void Form1::mnuFSK441Datei_Click() {
    exportCallsignList(StationSelection::Fsk441Only);
}

void Form1::exportCallsignList(StationSelection selection) {
    const QString fileName = Combo1->currentText();
    if (!FileExists(fileName)) {
        return;
    }
    ExportResult result;
    {
        const BusyPointer busy;
        const std::filesystem::path list =
            database_folder::toPath(database_folder::workingFolder()) / "CALLSIGN.TXT";
        if (const auto database = database_folder::fileToOpen(fileName)) {
            result = writeCallsignList(*database, list, hasHeadingLine_, selection);
        } else {
            // Matches files only as a pattern: there is no one file to read.
            result = {ExportResult::Status::DatabaseUnreadable,
                      0,
                      database_folder::toPath(fileName),
                      {FileFailure::NotFound}};
        }
    }
    const ResultMessage message =
        resultMessage(result, languageFromCode(uiLanguage_.toStdString()));
    showMessage(message.icon, message.text);
}

} // namespace kelmora
