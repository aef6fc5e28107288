// The worker as a std::thread that sleeps between jobs.
#include "runtime/Worker.h"

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace rt {

namespace {

class PosixWorker final : public core::Worker {
public:
    PosixWorker() : thread_([this] { serve(); }) {}
    ~PosixWorker() override {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            quit_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }
    PosixWorker(const PosixWorker&) = delete;
    PosixWorker& operator=(const PosixWorker&) = delete;

    void start(std::function<void()> job) override {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            job_ = std::move(job);
            busy_ = true;
        }
        changed_.notify_all();
    }

    void wait() override {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return !busy_; });
    }

private:
    void serve() {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            changed_.wait(lock, [this] { return busy_ || quit_; });
            if (!busy_) {
                return;
            }
            const std::function<void()> job = std::move(job_);
            lock.unlock();
            job();
            lock.lock();
            busy_ = false;
            changed_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::function<void()> job_;
    bool busy_ = false;
    bool quit_ = false;
    std::thread thread_; // last: it starts serving once everything above is there
};

} // namespace

std::unique_ptr<core::Worker> makeWorker() {
    if (std::thread::hardware_concurrency() < 2) {
        return nullptr;
    }
    try {
        return std::make_unique<PosixWorker>();
    } catch (const std::system_error&) {
        return nullptr;
    }
}

} // namespace rt
