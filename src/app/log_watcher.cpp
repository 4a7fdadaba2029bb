// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/log_watcher.h"

#include "app/database_folder.h"

#include <QDir>
#include <QFileInfo>

namespace kelmora {

LogWatcher::LogWatcher(QObject* parent) : QObject(parent) {
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    connect(&settle_, &QTimer::timeout, this, &LogWatcher::settled);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &LogWatcher::changed);
    // A file written anew under another name and then renamed into place is
    // a new file, which only its folder sees come.
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &LogWatcher::changed);
}

void LogWatcher::watch(const QString& file) {
    const QStringList watched = watcher_.files() + watcher_.directories();
    if (!watched.isEmpty()) {
        watcher_.removePaths(watched);
    }
    settle_.stop();
    work_.cancel();
    file_ = file;
    if (file_.isEmpty()) {
        return;
    }
    rewatch();
    read();
}

// The file itself goes from the watch when it is deleted or replaced, and
// cannot be watched while it does not exist: it is watched again whenever
// it is there.
void LogWatcher::rewatch() {
    const QFileInfo info(file_);
    if (info.exists() && !watcher_.files().contains(file_)) {
        watcher_.addPath(file_);
    }
    if (info.absoluteDir().exists() && !watcher_.directories().contains(info.absolutePath())) {
        watcher_.addPath(info.absolutePath());
    }
}

LogWatcher::Stamp LogWatcher::stampNow() const {
    const QFileInfo info(file_);
    if (!info.exists()) {
        return {};
    }
    return {true, info.size(), info.lastModified()};
}

// Changes come in bursts; the file is read once they settle, or at the
// latest after the longest wait.
void LogWatcher::changed() {
    if (!settle_.isActive()) {
        waiting_.start();
    }
    if (waiting_.elapsed() >= kLongestWaitMs) {
        settle_.stop();
        settled();
        return;
    }
    settle_.start();
}

void LogWatcher::settled() {
    rewatch();
    // The folder changes with the other files in it too (WSJT-X keeps all
    // its files there): only a change of the log itself is read.
    if (stampNow() != stamp_) {
        read();
    }
}

void LogWatcher::read() {
    stamp_ = stampNow();
    const std::filesystem::path path = database_folder::toPath(file_);
    emit readingStarted();
    work_.start<std::shared_ptr<const log::LogReading>>(
        [path](std::stop_token) {
            return std::make_shared<const log::LogReading>(log::readLog(InputFile(path)));
        },
        [this](std::shared_ptr<const log::LogReading> reading) { emit logRead(reading); });
}

} // namespace kelmora
