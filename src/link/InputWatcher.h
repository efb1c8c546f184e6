#pragma once

#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace vexa {

// A thread that watches a port's descriptor for input until it is told to stop. It is
// woken through a pipe of its own, so stopping never waits for input to arrive.
class InputWatcher {
public:
    using Body = std::function<void(int descriptor, int wakeDescriptor)>;

    bool IsRunning() const { return thread.joinable(); }
    // Runs body(descriptor, wake descriptor) on the thread; nothing when it runs already
    // or no pipe can be had.
    void Start(int descriptor, Body body);
    // Tells the thread to stop, calls afterWake, and waits for the thread with the lock
    // released, since the thread may be about to take it.
    void Stop(std::unique_lock<std::mutex>& lock, const std::function<void()>& afterWake = {});

    // Waits for input or the stop request: the descriptor's poll events, or nothing when
    // the thread is to stop (or polling failed).
    static std::optional<short> WaitForInput(int descriptor, int wakeDescriptor);
    // Waits for the stop request alone, for a thread whose descriptor is gone.
    static void WaitForStop(int wakeDescriptor);

private:
    std::thread thread;
    int wakePipe[2] = {-1, -1};
};

} // namespace vexa
