// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The per-user settings: section "Settings" of the application
// "Kelmora_Datenbank" in the platform's own store (the registry on Windows).
namespace kelmora::settings_store {

inline constexpr const char* kApplicationName = "Kelmora_Datenbank";
inline constexpr const char* kSection = "Settings";

// A key of the store and what reading it gives while it is absent.
struct Setting {
    const char* key;
    const char* defaultValue;
};

inline constexpr Setting kLanguage{"Sprache", "de"};
// The default matches no file, so a first run selects nothing.
inline constexpr Setting kDatabase{"Database", " ?"};
// The look-up list of WSJT-X last updated, as a full path; none at first.
inline constexpr Setting kCall3List{"Call3List", ""};
// The user's own Maidenhead locator, as shown (upper case); none at first.
inline constexpr Setting kOwnLocator{"OwnLocator", ""};
// Where the map window stood and how large it was (Qt's saved geometry in
// Base64); none at first.
inline constexpr Setting kMapWindow{"MapWindow", ""};
// The user's log (ADIF) last chosen, as a full path; none at first.
inline constexpr Setting kLogFile{"LogFile", ""};

// The key as the store names it, its section included.
QString keyInSection(const Setting& setting);

QString read(const Setting& setting);

// Stores one value at once. Returns false when the store could not be written.
bool write(const Setting& setting, const QString& value);

// Stores the database first, then the language. Returns false when the
// store could not be written.
bool writeAtClosing(const QString& database, const QString& language);

} // namespace kelmora::settings_store
