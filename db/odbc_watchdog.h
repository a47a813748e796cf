#pragma once
// Ends an ODBC call that the server never answers.
//
// A driver waits in poll/recv for as long as the server stays silent: a
// stopped backend, a frozen host. A statement time limit the server enforces
// cannot help then, and neither can SQLCancel: psqlODBC's sends a cancel
// request the postmaster passes to a stopped backend that never acts on it,
// and with the whole server stopped both psqlODBC's and the MariaDB driver's
// SQLCancel block themselves (measured: still blocked after seconds), which
// would stall the watchdog. What always works is to shut the connection's
// socket down: the driver's recv returns at once and the call fails as a lost
// connection (08S01 on both drivers). So the watchdog does only that, a
// grace period after the call's own time limit, and calls nothing in the
// driver.
//
// The connection's sockets are those that appeared while the driver
// connected; connects are serialised in the process so that they are not
// mixed up, and each socket is checked by inode before it is shut down, so a
// descriptor closed and reused since is left alone. A socket that other code
// of the process opens during a connect would be taken for the connection's.
#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace pelmar::db::detail {

struct SocketId {
    int fd;
    ino_t inode;
    bool operator==(const SocketId&) const = default;
};

// The sockets the process has open.
std::vector<SocketId> OpenSockets();

class Watchdog {
public:
    using Clock = std::chrono::steady_clock;

    Watchdog();
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    // While connecting: the sockets open before, so that those opened since
    // are the connection's. Once connected: the connection's own.
    void WatchSocketsOpenedSince(std::vector<SocketId> before);
    void WatchSockets(std::vector<SocketId> sockets);

    // Arms for one call: if it is still running after `limit`, the sockets
    // are shut down. Disarm ends the call; true when they were.
    void Arm(Clock::duration limit);
    bool Disarm();

private:
    void Run();
    void ShutDownSockets() const;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<Clock::time_point> deadline_;
    // What the thread sleeps until (max: until woken), so that arming wakes
    // it only for an earlier deadline, not once per call.
    Clock::time_point sleepingUntil_ = Clock::time_point::max();
    bool fired_ = false;
    bool stopping_ = false;
    std::vector<SocketId> sockets_;
    std::optional<std::vector<SocketId>> openedBefore_;
    std::thread thread_;  // last: it starts once the rest exists
};

}  // namespace pelmar::db::detail
