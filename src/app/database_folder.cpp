// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/database_folder.h"

#include "database/file_names.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace kelmora::database_folder {
namespace {

bool hasWildcards(const QString& name) {
    return name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'));
}

// Only "*" and "?" are wildcards; every other character, brackets included,
// stands for itself.
QRegularExpression patternExpression(const QString& pattern) {
    QString expression;
    for (const QChar c : pattern) {
        if (c == QLatin1Char('*')) {
            expression += QStringLiteral(".*");
        } else if (c == QLatin1Char('?')) {
            expression += QLatin1Char('.');
        } else {
            expression += QRegularExpression::escape(QString(c));
        }
    }
    return QRegularExpression(QRegularExpression::anchoredPattern(expression),
                              QRegularExpression::CaseInsensitiveOption |
                                  QRegularExpression::DotMatchesEverythingOption);
}

// A file that the user sees as such: no folder, no hidden or system file.
bool isOrdinaryFile(const QFileInfo& file) {
    return file.isFile() && !file_names::isHidden(toPath(file.filePath()));
}

// The ordinary files of a folder whose names the system gives back as they
// are stored; a name that does not survive the round trip cannot be opened.
// A listing that breaks off gives the files found until then.
QFileInfoList ordinaryFiles(const QDir& folder) {
    QFileInfoList files;
    const QFileInfoList entries =
        folder.entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    for (const QFileInfo& entry : entries) {
        if (isOrdinaryFile(entry) && QFileInfo::exists(entry.filePath())) {
            files.append(entry);
        }
    }
    return files;
}

struct SplitName {
    QDir folder;
    QString fileName;
};

SplitName splitName(const QString& typed) {
    const QString name = QDir::fromNativeSeparators(typed);
    const qsizetype slash = name.lastIndexOf(QLatin1Char('/'));
    if (slash < 0) {
        return {QDir(QDir::currentPath()), name};
    }
    const QString folder = slash == 0 ? QStringLiteral("/") : name.left(slash);
    return {QDir(folder), name.mid(slash + 1)};
}

QFileInfoList filesMatching(const QString& name) {
    const SplitName split = splitName(name);
    if (split.fileName.isEmpty()) {
        return {};
    }
    const QRegularExpression expression = patternExpression(split.fileName);
    QFileInfoList matches;
    for (const QFileInfo& file : ordinaryFiles(split.folder)) {
        if (expression.match(file.fileName()).hasMatch()) {
            matches.append(file);
        }
    }
    return matches;
}

} // namespace

QStringList listDatabaseFiles() {
    QStringList names;
    for (const QFileInfo& file : filesMatching(QStringLiteral("ms*.txt"))) {
        names.append(file.fileName());
    }
    return names;
}

bool anyFileMatches(const QString& name) {
    return !name.isEmpty() && !name.contains(QChar(0)) && !filesMatching(name).isEmpty();
}

std::optional<std::filesystem::path> fileToOpen(const QString& name) {
    if (name.isEmpty() || name.contains(QChar(0))) {
        return std::nullopt;
    }
    const QFileInfo exact(name);
    if (isOrdinaryFile(exact)) {
        return toPath(name);
    }
    if (hasWildcards(name)) {
        return std::nullopt;
    }
    const QFileInfoList matches = filesMatching(name);
    if (matches.isEmpty()) {
        return std::nullopt;
    }
    return toPath(matches.front().filePath());
}

QString workingFolder() {
    return QDir::toNativeSeparators(QDir::currentPath());
}

std::filesystem::path toPath(const QString& name) {
#ifdef Q_OS_WIN
    return std::filesystem::path(name.toStdWString());
#else
    const QByteArray encoded = QFile::encodeName(name);
    return std::filesystem::path(std::string(encoded.constData(), encoded.size()));
#endif
}

QString fromPath(const std::filesystem::path& path) {
#ifdef Q_OS_WIN
    return QString::fromStdWString(path.native());
#else
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
#endif
}

} // namespace kelmora::database_folder
