// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/wsjtx_folder.h"

#include <QDir>
#include <QStandardPaths>

namespace kelmora {

QString fileInWsjtxFolder(const QString& name) {
    const QDir wsjtx(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                     QStringLiteral("/WSJT-X"));
    const QDir folder = wsjtx.exists() ? wsjtx : QDir::current();
    return folder.filePath(name);
}

} // namespace kelmora
