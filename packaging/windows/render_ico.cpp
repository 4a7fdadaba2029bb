// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the window icon's drawing as the program file's icon, at build time
// and without a display: one .ico file with an image of each given size.
// Usage: kelmora_render_ico <file.ico> <size>...
#include "app/window_icon.h"
#include "ico_file.h"

#include <QFile>
#include <QString>
#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: kelmora_render_ico <file.ico> <size>...\n");
        return 2;
    }
    QList<QImage> images;
    for (int i = 2; i < argc; ++i) {
        images << kelmora::drawIcon(QString::fromLocal8Bit(argv[i]).toInt());
    }
    const QByteArray ico = kelmora::icoFile(images);
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::WriteOnly) || file.write(ico) != ico.size() || !file.flush()) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
