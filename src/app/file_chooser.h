// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

namespace kelmora {

// What a save dialog asks: its title, the file it starts at (a full path)
// and its file types, separated by ";;" as Qt's file dialog takes them.
// A file that is updated needs no confirmation; one that is replaced does.
// A name typed without a suffix gets the default one, if given.
struct SaveFileRequest {
    QString title;
    QString startFile;
    QString filters;
    bool confirmOverwrite = false;
    QString defaultSuffix = {};
};

// What an open dialog asks: its title, the file it starts at (a full path;
// where it does not exist, its folder) and its file types.
struct OpenFileRequest {
    QString title;
    QString startFile;
    QString filters;
};

// Asks the user for a file to write, or for one to read. The program shows Qt's own file dialog;
// tests put a scripted chooser in its place.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    // The chosen file's full path; empty when the user cancelled.
    virtual QString chooseFileToSave(QWidget* parent, const SaveFileRequest& request) = 0;
    // The chosen file's full path, a file that exists; empty when cancelled.
    virtual QString chooseFileToOpen(QWidget* parent, const OpenFileRequest& request) = 0;
};

class DialogFileChooser final : public FileChooser {
public:
    QString chooseFileToSave(QWidget* parent, const SaveFileRequest& request) override;
    QString chooseFileToOpen(QWidget* parent, const OpenFileRequest& request) override;
};

} // namespace kelmora
