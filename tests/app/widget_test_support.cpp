// SPDX-License-Identifier: GPL-3.0-or-later
#include "widget_test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QTimer>
#include <QWindow>
#include <cmath>
#include <cstdlib>

namespace kelmora::testing {

std::unique_ptr<QSettings> openSettings() {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       settings_store::kApplicationName,
                                       settings_store::kApplicationName);
}

QMessageBox::StandardButton ScriptedMessages::present(QWidget*, const MessageRequest& request) {
    shown_.append({request, focusedName(), QApplication::overrideCursor() != nullptr});
    if (!answers_.isEmpty()) {
        return answers_.takeFirst();
    }
    return request.buttons.testFlag(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok;
}

QString ScriptedFiles::chooseFileToSave(QWidget*, const SaveFileRequest& request) {
    requests_.append(request);
    return nextAnswer();
}

QString ScriptedFiles::chooseFileToOpen(QWidget*, const OpenFileRequest& request) {
    openRequests_.append(request);
    return nextAnswer();
}

WorkingFolder::WorkingFolder() : previous_(QDir::currentPath()) {
    if (!folder_.isValid() || !QDir::setCurrent(folder_.path())) {
        qFatal("cannot enter a scratch folder");
    }
}

WorkingFolder::~WorkingFolder() {
    QDir::setCurrent(previous_);
}

void WorkingFolder::write(const QString& name, const QByteArray& bytes) const {
    QFile file(QDir(folder_.path()).filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        qFatal("cannot write a test file");
    }
}

QByteArray WorkingFolder::read(const QString& name) const {
    QFile file(QDir(folder_.path()).filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void clearSettings() {
    auto settings = openSettings();
    settings->clear();
    settings->sync();
}

void storeSetting(const settings_store::Setting& setting, const QString& value) {
    auto settings = openSettings();
    settings->setValue(settings_store::keyInSection(setting), value);
    settings->sync();
}

std::optional<QString> storedSetting(const settings_store::Setting& setting) {
    auto settings = openSettings();
    const QString fullKey = settings_store::keyInSection(setting);
    if (!settings->contains(fullKey)) {
        return std::nullopt;
    }
    return settings->value(fullKey).toString();
}

ShownBox showRealMessageBox(QWidget* parent, const MessageRequest& request) {
    ShownBox shown;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&shown, &closer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->windowHandle() || !box->windowHandle()->isExposed()) {
            return; // not on the screen yet
        }
        closer.stop();
        shown.frame = box->frameGeometry();
        shown.titleBar = titleBarRoom(*box);
        for (const QAbstractButton* button : box->buttons()) {
            shown.buttonTexts << button->text();
        }
        box->done(QMessageBox::Ok);
    });
    closer.start(1);
    ModalMessagePresenter().present(parent, request);
    return shown;
}

std::unique_ptr<Form1> startWindow(ScriptedMessages& messages, FileChooser* files) {
    auto window = std::make_unique<Form1>(&messages, files);
    window->show();
    if (!QTest::qWaitForWindowActive(window.get())) {
        qFatal("the window did not become active");
    }
    QCoreApplication::processEvents(); // the first display's queued work
    return window;
}

namespace {
bool near(QRgb colour, QRgb wanted, int tolerance) {
    return std::abs(qRed(colour) - qRed(wanted)) <= tolerance &&
           std::abs(qGreen(colour) - qGreen(wanted)) <= tolerance &&
           std::abs(qBlue(colour) - qBlue(wanted)) <= tolerance;
}
} // namespace

bool colourNear(const QImage& image, QPointF point, QRgb wanted, int tolerance) {
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const QPoint pixel(int(std::floor(point.x())) + dx, int(std::floor(point.y())) + dy);
            if (image.rect().contains(pixel) && near(image.pixel(pixel), wanted, tolerance)) {
                return true;
            }
        }
    }
    return false;
}

Form2* shownMapWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* form2 = qobject_cast<Form2*>(widget); form2 && form2->isVisible()) {
            return form2;
        }
    }
    return nullptr;
}

QString inWorkingFolder(const QString& name) {
    return QDir::toNativeSeparators(QDir::currentPath()) + QDir::separator() + name;
}

QString text(const QWidget& window, const char* name) {
    const QString objectName = QString::fromLatin1(name);
    if (auto* box = window.findChild<QLineEdit*>(objectName)) {
        return box->text();
    }
    if (auto* label = window.findChild<QLabel*>(objectName)) {
        return label->text();
    }
    if (auto* combo = window.findChild<QComboBox*>(objectName)) {
        return combo->currentText();
    }
    qFatal("no text control named %s", name);
}

namespace {
QStringList textsOfRow(const QWidget& window, const char* prefix) {
    QStringList texts;
    for (int i = 2; i <= 9; ++i) {
        texts << text(window, QStringLiteral("%1%2").arg(prefix).arg(i).toLatin1().constData());
    }
    return texts;
}
} // namespace

QStringList fieldTexts(const QWidget& window) {
    return textsOfRow(window, "Text");
}

QStringList headingTexts(const QWidget& window) {
    return textsOfRow(window, "Label");
}

QString focusedName() {
    const QWidget* focused = QApplication::focusWidget();
    return focused ? focused->objectName() : QString();
}

} // namespace kelmora::testing
