// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMetaObject>
#include <QObject>
#include <cstdint>
#include <functional>
#include <list>
#include <stop_token>
#include <thread>
#include <utility>

namespace kelmora {

// Work that would hold the window up, done on a thread of its own. A newer
// job replaces an older one: the older one is asked to stop, and what it
// gives is dropped. The result of the newest job is handed to the receiver's
// thread, where the window's events are handled. Owned by the receiver (or
// by an object that goes with it), so that no result outlives them.
class BackgroundWork {
public:
    explicit BackgroundWork(QObject* receiver) : receiver_(receiver) {}
    // Asks every job to stop and waits for it.
    ~BackgroundWork() = default;
    BackgroundWork(const BackgroundWork&) = delete;
    BackgroundWork& operator=(const BackgroundWork&) = delete;

    // work runs on the job's thread and must only read what does not change
    // meanwhile; deliver gets its result on the receiver's thread. Result is
    // copied once, so it is best a shared pointer or small.
    template <typename Result>
    void start(std::function<Result(std::stop_token)> work, std::function<void(Result)> deliver) {
        cancel();
        const std::uint64_t job = ++latest_;
        pending_ = true;
        jobs_.push_back({job, {}});
        jobs_.back().thread = std::jthread([this, job, work = std::move(work),
                                            deliver = std::move(deliver)](std::stop_token stop) {
            Result result = work(stop);
            QMetaObject::invokeMethod(
                receiver_,
                [this, job, deliver, result = std::move(result)] {
                    finished(job);
                    if (job == latest_) {
                        pending_ = false;
                        deliver(result);
                    }
                },
                Qt::QueuedConnection);
        });
    }

    // Drops every job's result, asking the jobs to stop.
    void cancel() {
        ++latest_;
        pending_ = false;
        for (Job& job : jobs_) {
            job.thread.request_stop();
        }
    }

    // Whether the newest job's result is still to come.
    bool pending() const { return pending_; }

private:
    struct Job {
        std::uint64_t id;
        std::jthread thread;
    };

    // The job's thread is at its very end now: it is joined at once.
    void finished(std::uint64_t job) {
        jobs_.remove_if([job](const Job& each) { return each.id == job; });
    }

    QObject* receiver_;
    std::uint64_t latest_ = 0;
    bool pending_ = false;
    std::list<Job> jobs_;
};

} // namespace kelmora
