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
// connected and whose peer is the connection's server (ServerAddress);
// connects are serialised in the process so that two connections' sockets
// are not mixed up. Before a socket is shut down it is checked again, by
// inode (a descriptor closed and reused since is left alone) and by peer: a
// socket the host opened meanwhile, listening or connected anywhere else, is
// never touched. One the host opened during the connect to the same server
// and port cannot be told from the driver's; and when the string tells no
// server the watchdog shuts nothing down, leaving the call to the driver.
#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "db/server_address.h"

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

    // The server whose sockets may be shut down; nothing until set.
    void WatchServer(ServerAddress server);
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
    ServerAddress server_;
    std::vector<SocketId> sockets_;
    std::optional<std::vector<SocketId>> openedBefore_;
    std::thread thread_;  // last: it starts once the rest exists
};

}  // namespace pelmar::db::detail
