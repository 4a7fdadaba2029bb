// SPDX-License-Identifier: GPL-3.0-or-later
// The settings of the widget tests where Qt keeps them in a file.
#include "widget_test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace kelmora::testing {
namespace {

QString storeFolder() {
    return QFileInfo(openSettings()->fileName()).absolutePath();
}

} // namespace

void isolateSettings() {
    QStandardPaths::setTestModeEnabled(true);
}

QStringList storedKeyOrder() {
    QFile file(openSettings()->fileName());
    QStringList keys;
    if (file.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : file.readAll().split('\n')) {
            const int equals = line.indexOf('=');
            if (equals > 0) {
                keys.append(QString::fromUtf8(line.left(equals)));
            }
        }
    }
    return keys;
}

// The store's folder becomes a file: nothing can be written there.
UnwritableSettings::UnwritableSettings() {
    QDir(storeFolder()).removeRecursively();
    QFile blocker(storeFolder());
    if (!blocker.open(QIODevice::WriteOnly)) {
        qFatal("cannot block the settings");
    }
}

UnwritableSettings::~UnwritableSettings() {
    QFile::remove(storeFolder());
}

} // namespace kelmora::testing
