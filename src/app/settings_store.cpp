// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings_store.h"

#include <QSettings>

namespace kelmora::settings_store {
namespace {

QSettings store() {
    return {QSettings::NativeFormat, QSettings::UserScope, kApplicationName, kApplicationName};
}

} // namespace

QString keyInSection(const Setting& setting) {
    return QLatin1String(kSection) + QLatin1Char('/') + QLatin1String(setting.key);
}

QString read(const Setting& setting) {
    return store().value(keyInSection(setting), QString::fromUtf8(setting.defaultValue)).toString();
}

bool write(const Setting& setting, const QString& value) {
    QSettings settings = store();
    settings.setValue(keyInSection(setting), value);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

bool writeAtClosing(const QString& database, const QString& language) {
    QSettings settings = store();
    settings.setValue(keyInSection(kDatabase), database);
    settings.setValue(keyInSection(kLanguage), language);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

} // namespace kelmora::settings_store
