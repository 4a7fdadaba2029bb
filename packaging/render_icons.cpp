// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the window's icon drawing as PNG files for the icon theme, at build
// time and without a display: one <size>.png per size into the given folder.
// Usage: kelmora_render_icons <folder> <size>...
#include "app/window_icon.h"

#include <QDir>
#include <QString>
#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: kelmora_render_icons <folder> <size>...\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    for (int i = 2; i < argc; ++i) {
        const QString size = QString::fromLocal8Bit(argv[i]);
        const QString file = folder.filePath(size + QStringLiteral(".png"));
        if (!kelmora::drawIcon(size.toInt()).save(file, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
