#include "app/busy_pointer.h"
#include "app/database_folder.h"
#include "app/form1.h"
#include "export/callsign_list.h"

#include <QComboBox>
#include <QFile>
#include <QMenu>
#include <cerrno>
#include <cstring>
#include <optional>

namespace kelmora {
namespace {

QString fromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

std::string displayName(const std::filesystem::path& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.string())).toStdString();
}

MessageRequest resultMessage(const ExportResult& result, std::optional<Language> language) {
    switch (result.status) {
    case ExportResult::Status::Written: {
        const MessageText done =
            callsignListWrittenMessage(language, database_folder::workingFolder().toStdString());
        return {QMessageBox::Information, fromUtf8(done.title), fromUtf8(done.text),
                QMessageBox::Ok, QMessageBox::Ok};
    }
    case ExportResult::Status::DatabaseUnreadable: {
        const MessageText failed = databaseUnreadableMessage(
            language, displayName(result.failedFile), std::strerror(result.error));
        return {QMessageBox::Critical, fromUtf8(failed.title), fromUtf8(failed.text),
                QMessageBox::Ok, QMessageBox::Ok};
    }
    case ExportResult::Status::ListNotWritable: {
        const MessageText failed = callsignListNotWrittenMessage(
            language, displayName(result.failedFile), std::strerror(result.error));
        return {QMessageBox::Critical, fromUtf8(failed.title), fromUtf8(failed.text),
                QMessageBox::Ok, QMessageBox::Ok};
    }
    }
    return {};
}

} // namespace

void Form1::mnuExtr_Click() {
    // Nothing to export while no database is selected.
    mnuWSJT->setEnabled(!Combo1->currentText().isEmpty());
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
            result = {ExportResult::Status::DatabaseUnreadable, 0,
                      database_folder::toPath(fileName), ENOENT};
        }
    }
    showMessage(resultMessage(result, languageFromCode(uiLanguage_.toStdString())));
}

} // namespace kelmora
