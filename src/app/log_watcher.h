// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/background_work.h"
#include "log/log_reading.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

namespace kelmora {

// The user's log, read off the window's thread, and read again whenever it
// changes on disk: WSJT-X appends to it after every QSO, and some programs
// write a new file in its place. Changes are let settle first, so that one
// QSO written in several steps is read once.
class LogWatcher final : public QObject {
    Q_OBJECT

public:
    explicit LogWatcher(QObject* parent = nullptr);

    // Watches the file and reads it at once; an empty name watches none.
    void watch(const QString& file);
    const QString& file() const { return file_; }
    // Whether a reading is under way or a change waits to be read.
    bool busy() const { return work_.pending() || settle_.isActive(); }

    // How long changes must have stopped before the file is read again, and
    // the longest a reading waits while they go on.
    static constexpr int kSettleMs = 300;
    static constexpr int kLongestWaitMs = 2000;

signals:
    void readingStarted();
    void logRead(std::shared_ptr<const log::LogReading> reading);

private:
    // What the file looked like when it was last read.
    struct Stamp {
        bool exists = false;
        qint64 size = -1;
        QDateTime modified;
        bool operator==(const Stamp&) const = default;
    };
    Stamp stampNow() const;
    void changed();
    void settled();
    void rewatch();
    void read();

    QFileSystemWatcher watcher_;
    QTimer settle_;
    QElapsedTimer waiting_;
    QString file_;
    Stamp stamp_;
    BackgroundWork work_{this};
};

} // namespace kelmora
