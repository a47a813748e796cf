#include "db/odbc_watchdog.h"

#include <dirent.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <utility>

namespace pelmar::db::detail {
namespace {

struct DirCloser {
    void operator()(DIR* dir) const noexcept { closedir(dir); }
};

bool StillOpen(const SocketId& socket) {
    struct stat st {};
    return fstat(socket.fd, &st) == 0 && S_ISSOCK(st.st_mode) && st.st_ino == socket.inode;
}

}  // namespace

std::vector<SocketId> OpenSockets() {
    std::vector<SocketId> sockets;
    const std::unique_ptr<DIR, DirCloser> dir(opendir("/proc/self/fd"));
    if (!dir) return sockets;
    while (const dirent* entry = readdir(dir.get())) {
        if (entry->d_name[0] == '.') continue;
        const int fd = std::atoi(entry->d_name);
        struct stat st {};
        if (fd != dirfd(dir.get()) && fstat(fd, &st) == 0 && S_ISSOCK(st.st_mode)) sockets.push_back({fd, st.st_ino});
    }
    return sockets;
}

Watchdog::Watchdog() : thread_([this] { Run(); }) {}

Watchdog::~Watchdog() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void Watchdog::WatchServer(ServerAddress server) {
    std::lock_guard lock(mutex_);
    server_ = std::move(server);
}

void Watchdog::WatchSocketsOpenedSince(std::vector<SocketId> before) {
    std::lock_guard lock(mutex_);
    openedBefore_ = std::move(before);
}

void Watchdog::WatchSockets(std::vector<SocketId> sockets) {
    std::lock_guard lock(mutex_);
    openedBefore_.reset();
    sockets_ = std::move(sockets);
}

void Watchdog::Arm(Clock::duration limit) {
    bool earlier;
    {
        std::lock_guard lock(mutex_);
        deadline_ = Clock::now() + limit;
        fired_ = false;
        earlier = *deadline_ < sleepingUntil_;
    }
    if (earlier) wake_.notify_one();
}

bool Watchdog::Disarm() {
    std::lock_guard lock(mutex_);
    deadline_.reset();
    return std::exchange(fired_, false);
}

void Watchdog::Run() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (deadline_ && Clock::now() >= *deadline_) {
            ShutDownSockets();
            fired_ = true;
            deadline_.reset();
        }
        // A call armed after this one began sleeping has a later deadline
        // (or woke it): on waking, the loop looks again.
        sleepingUntil_ = deadline_ ? *deadline_ : Clock::time_point::max();
        if (deadline_)
            wake_.wait_until(lock, sleepingUntil_);
        else
            wake_.wait(lock);
    }
}

void Watchdog::ShutDownSockets() const {
    std::vector<SocketId> targets = sockets_;
    if (openedBefore_) {
        targets = OpenSockets();
        std::erase_if(targets, [&](const SocketId& s) {
            return std::find(openedBefore_->begin(), openedBefore_->end(), s) != openedBefore_->end();
        });
    }
    for (const SocketId& socket : targets)
        if (StillOpen(socket) && server_.IsPeerOf(socket.fd)) shutdown(socket.fd, SHUT_RDWR);
}

}  // namespace pelmar::db::detail
