// SPDX-License-Identifier: GPL-3.0-or-later
// A bare Qt window of the program's size: what any Qt Widgets program costs
// to start, against which bench/windows-startup measures the program.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare Qt window"));
    window.resize(548, 326);
    window.show();
    return application.exec();
}
