// The worker as a Windows thread woken by an event, without the C++ library's threads (the
// programs that ship use the runtime that Windows XP has, which knows none).
#include "runtime/Worker.h"

#include <windows.h>

#include <atomic>

namespace rt {

namespace {

class Win32Worker final : public core::Worker {
public:
    // Both events reset themselves once a waiter has seen them.
    Win32Worker()
        : go_(CreateEventW(nullptr, FALSE, FALSE, nullptr)), done_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
        if (go_ != nullptr && done_ != nullptr) {
            thread_ = CreateThread(nullptr, 0, &Win32Worker::serve, this, 0, nullptr);
        }
    }
    ~Win32Worker() override {
        if (thread_ != nullptr) {
            quit_ = true;
            SetEvent(go_);
            WaitForSingleObject(thread_, INFINITE);
            CloseHandle(thread_);
        }
        for (HANDLE event : {go_, done_}) {
            if (event != nullptr) {
                CloseHandle(event);
            }
        }
    }
    Win32Worker(const Win32Worker&) = delete;
    Win32Worker& operator=(const Win32Worker&) = delete;

    bool running() const { return thread_ != nullptr; }

    void start(std::function<void()> job) override {
        job_ = std::move(job);
        SetEvent(go_);
    }

    void wait() override { WaitForSingleObject(done_, INFINITE); }

private:
    static DWORD WINAPI serve(LPVOID self) {
        auto& worker = *static_cast<Win32Worker*>(self);
        for (;;) {
            WaitForSingleObject(worker.go_, INFINITE);
            if (worker.quit_) {
                return 0;
            }
            worker.job_();
            SetEvent(worker.done_);
        }
    }

    HANDLE go_;
    HANDLE done_;
    HANDLE thread_ = nullptr;
    std::function<void()> job_;
    std::atomic<bool> quit_{false};
};

} // namespace

std::unique_ptr<core::Worker> makeWorker() {
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    if (system.dwNumberOfProcessors < 2) {
        return nullptr;
    }
    auto worker = std::make_unique<Win32Worker>();
    if (!worker->running()) {
        return nullptr;
    }
    return worker;
}

} // namespace rt
