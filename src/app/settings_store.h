#pragma once

#include <QString>

namespace kelmora::settings_store {

// The per-user settings: section "Settings" of the application
// "Kelmora_Datenbank" in the platform's own store.
inline constexpr const char* kLanguageKey = "Sprache";
inline constexpr const char* kDatabaseKey = "Database";
inline constexpr const char* kDefaultLanguage = "de";
// Matches no file, so a first run selects nothing.
inline constexpr const char* kDefaultDatabase = " ?";

QString read(const char* key, const char* defaultValue);

// Stores the database first, then the language. Returns false when the
// store could not be written.
bool writeAtClosing(const QString& database, const QString& language);

} // namespace kelmora::settings_store
