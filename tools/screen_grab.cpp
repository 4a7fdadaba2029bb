// SPDX-License-Identifier: GPL-3.0-or-later
// Saves the top-left part of an X display as a PNG, for the screenshot script.
// Usage: kelmora_screen_grab <file.png> <width> <height>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

int main(int argc, char* argv[]) {
    QGuiApplication application(argc, argv);
    if (argc != 4) {
        qWarning("usage: kelmora_screen_grab <file.png> <width> <height>");
        return 2;
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    const QPixmap picture = screen->grabWindow(0, 0, 0, QString::fromLocal8Bit(argv[2]).toInt(),
                                               QString::fromLocal8Bit(argv[3]).toInt());
    if (picture.isNull() || !picture.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        qWarning("cannot grab or save the screen");
        return 1;
    }
    return 0;
}
