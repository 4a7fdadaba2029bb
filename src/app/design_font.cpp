// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/design_font.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>
#include <optional>

namespace kelmora {
namespace {

// The face as asked for, where the system has it and draws it as itself.
std::optional<QFont> existingFace(const QFont& wanted) {
    if (!QFontDatabase::families().contains(wanted.family(), Qt::CaseInsensitive) ||
        QFontInfo(wanted).family().compare(wanted.family(), Qt::CaseInsensitive) != 0) {
        return std::nullopt;
    }
    return wanted;
}

} // namespace

QFont designFont() {
    if (const auto design = existingFace(QFont(QStringLiteral("MS Sans Serif")))) {
        return *design;
    }
    if (const auto system = existingFace(QFontDatabase::systemFont(QFontDatabase::GeneralFont))) {
        return *system;
    }
    // Windows' interface faces, then faces of Arial's measures, then the
    // wider ones of the Linux desktops.
    for (const char* family : {"Segoe UI", "Tahoma", "Microsoft Sans Serif", "Arial",
                               "Liberation Sans", "Nimbus Sans", "DejaVu Sans", "Noto Sans"}) {
        if (const auto face = existingFace(QFont(QString::fromLatin1(family)))) {
            return *face;
        }
    }
    QFont anySans = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    anySans.setStyleHint(QFont::SansSerif);
    return anySans;
}

} // namespace kelmora
