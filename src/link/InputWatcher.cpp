#include "link/InputWatcher.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace vexa {

void InputWatcher::Start(int descriptor, Body body) {
    if (thread.joinable() || ::pipe2(wakePipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    thread = std::thread(std::move(body), descriptor, wakePipe[0]);
}

void InputWatcher::Stop(std::unique_lock<std::mutex>& lock, const std::function<void()>& afterWake) {
    if (!thread.joinable())
        return;
    const char stop = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(wakePipe[1], &stop, 1);
    if (afterWake)
        afterWake();
    std::thread finished = std::move(thread);
    lock.unlock();
    finished.join();
    lock.lock();
    ::close(wakePipe[0]);
    ::close(wakePipe[1]);
    wakePipe[0] = wakePipe[1] = -1;
}

std::optional<short> InputWatcher::WaitForInput(int descriptor, int wakeDescriptor) {
    for (;;) {
        pollfd fds[2] = {{descriptor, POLLIN, 0}, {wakeDescriptor, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;
        }
        if (fds[1].revents)
            return std::nullopt;
        return fds[0].revents;
    }
}

void InputWatcher::WaitForStop(int wakeDescriptor) {
    pollfd wake{wakeDescriptor, POLLIN, 0};
    ::poll(&wake, 1, -1);
}

} // namespace vexa
