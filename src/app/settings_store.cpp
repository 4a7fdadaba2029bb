#include "app/settings_store.h"

#include <QSettings>

namespace kelmora::settings_store {
namespace {

constexpr const char* kApplicationName = "Kelmora_Datenbank";

QString keyInSection(const char* key) {
    return QStringLiteral("Settings/") + QLatin1String(key);
}

} // namespace

QString read(const char* key, const char* defaultValue) {
    const QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kApplicationName,
                             kApplicationName);
    return settings.value(keyInSection(key), QString::fromUtf8(defaultValue)).toString();
}

bool writeAtClosing(const QString& database, const QString& language) {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kApplicationName,
                       kApplicationName);
    settings.setValue(keyInSection(kDatabaseKey), database);
    settings.setValue(keyInSection(kLanguageKey), language);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

} // namespace kelmora::settings_store
