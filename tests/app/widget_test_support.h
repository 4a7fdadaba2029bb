// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/file_chooser.h"
#include "app/form1.h"
#include "app/form2.h"
#include "app/message_presenter.h"
#include "app/settings_store.h"
#include "title_bar.h"

#include <QByteArray>
#include <QList>
#include <QSettings>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <optional>

namespace kelmora::testing {

// Records every message the window shows and answers from a script; when the
// script runs out, a question is answered Yes and a message OK.
class ScriptedMessages final : public MessagePresenter {
public:
    struct Shown {
        MessageRequest request;
        QString focusedControl; // the control that had the focus when it came up
        bool busyPointer;       // whether the busy pointer was still shown
    };

    QMessageBox::StandardButton present(QWidget* parent, const MessageRequest& request) override;

    void answerNext(QMessageBox::StandardButton answer) { answers_.append(answer); }
    const QList<Shown>& shown() const { return shown_; }
    int count() const { return static_cast<int>(shown_.size()); }
    const MessageRequest& last() const { return shown_.constLast().request; }
    void clear() { shown_.clear(); }

private:
    QList<QMessageBox::StandardButton> answers_;
    QList<Shown> shown_;
};

// Records every file the window asks for and answers from a script; when the
// script runs out, the user cancels. Files to write and files to read take
// their answers from the same script.
class ScriptedFiles final : public FileChooser {
public:
    QString chooseFileToSave(QWidget* parent, const SaveFileRequest& request) override;
    QString chooseFileToOpen(QWidget* parent, const OpenFileRequest& request) override;

    void answerNext(const QString& file) { answers_.append(file); }
    const QList<SaveFileRequest>& requests() const { return requests_; }
    const QList<OpenFileRequest>& openRequests() const { return openRequests_; }

private:
    QString nextAnswer() { return answers_.isEmpty() ? QString() : answers_.takeFirst(); }

    QStringList answers_;
    QList<SaveFileRequest> requests_;
    QList<OpenFileRequest> openRequests_;
};

// A fresh working folder for one test; the previous one comes back after.
class WorkingFolder {
public:
    WorkingFolder();
    ~WorkingFolder();
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

    QString path() const { return folder_.path(); }
    void write(const QString& name, const QByteArray& bytes) const;
    QByteArray read(const QString& name) const;

private:
    QString previous_;
    QTemporaryDir folder_;
};

// The program's settings, in the isolated store of the tests.
void clearSettings();
void storeSetting(const settings_store::Setting& setting, const QString& value);
std::optional<QString> storedSetting(const settings_store::Setting& setting);
// The store itself, as the program opens it.
std::unique_ptr<QSettings> openSettings();
// The order in which the keys stand in the store (the file, or the registry).
QStringList storedKeyOrder();

// While it lives, the program's settings cannot be written.
class UnwritableSettings {
public:
    UnwritableSettings();
    ~UnwritableSettings();
    UnwritableSettings(const UnwritableSettings&) = delete;
    UnwritableSettings& operator=(const UnwritableSettings&) = delete;
};

// What a real message box of the program looked like while it was open.
struct ShownBox {
    QRect frame; // on the screen, frame included
    QStringList buttonTexts;
    std::optional<TitleBarRoom> titleBar; // where the system draws the frame
};

// Shows the request as the program does, in a real modal message box, and
// closes the box as soon as it is on the screen.
ShownBox showRealMessageBox(QWidget* parent, const MessageRequest& request);

// A window as the program starts it: built, shown, first display handled.
std::unique_ptr<Form1> startWindow(ScriptedMessages& messages, FileChooser* files = nullptr);

// Whether a pixel within one pixel of the point has the colour, each of its
// red, green and blue within the tolerance.
bool colourNear(const QImage& image, QPointF point, QRgb wanted, int tolerance = 0);

// The map window while it is shown; none else.
Form2* shownMapWindow();

template <typename T> T* control(const QWidget& window, const char* name) {
    auto* found = window.findChild<T*>(QString::fromLatin1(name));
    if (!found) {
        qFatal("no control named %s", name);
    }
    return found;
}

// A file of the working folder as the program names it in its messages, with
// the system's own separators.
QString inWorkingFolder(const QString& name);

QString text(const QWidget& window, const char* lineEditOrLabel);
// The texts of Text2 .. Text9 and the captions of Label2 .. Label9.
QStringList fieldTexts(const QWidget& window);
QStringList headingTexts(const QWidget& window);
QString focusedName();

// Gives the settings a store of this test program's own before anything
// reads them: Qt's test mode on Linux, a registry key of the tests' own on
// Windows (which Qt's test mode leaves alone).
void isolateSettings();

} // namespace kelmora::testing

// QTEST_MAIN with the settings isolated first.
#define KELMORA_WIDGET_TEST_MAIN(TestObject)                                                       \
    int main(int argc, char** argv) {                                                              \
        kelmora::testing::isolateSettings();                                                       \
        QApplication app(argc, argv);                                                              \
        TestObject test;                                                                           \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
