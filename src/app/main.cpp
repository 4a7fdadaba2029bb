// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"
#include "app/running_mark.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    const kelmora::RunningMark running;
    QApplication application(argc, argv);
    kelmora::Form1 window;
    window.show();
    return application.exec();
}
