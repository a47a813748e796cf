// The watchdog shuts down only the connection's own sockets: those opened
// while it connected whose peer is its server. Sockets the host opens in the
// same window, listening or connected elsewhere, are never touched.
#include "db/odbc_watchdog.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "testing/temp_dir.h"

namespace pelmar::db::detail {
namespace {

// A socket, closed when it goes.
class Socket {
public:
    explicit Socket(int fd) : fd_(fd) {}
    ~Socket() {
        if (fd_ >= 0) close(fd_);
    }
    Socket(Socket&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int fd() const { return fd_; }

    // Nothing to read and no hang-up: as a socket nobody shut down is.
    bool Untouched() const {
        pollfd p{fd_, POLLIN | POLLRDHUP, 0};
        return poll(&p, 1, 0) == 0;
    }

private:
    int fd_;
};

// A socket bound to `address` and listening, or connected to it.
template <class Address>
Socket Open(const Address& address, bool listening) {
    const auto* at = reinterpret_cast<const sockaddr*>(&address);
    Socket s(socket(at->sa_family, SOCK_STREAM, 0));
    EXPECT_EQ(listening ? bind(s.fd(), at, sizeof address) | listen(s.fd(), 8) : connect(s.fd(), at, sizeof address),
              0);
    return s;
}

// 127.0.0.1 at `port` (0: the system's choice).
sockaddr_in Loopback(unsigned port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    return address;
}

// A TCP listener on 127.0.0.1 at a port of the system's choosing.
Socket Listener(unsigned& port) {
    Socket s = Open(Loopback(0), true);
    sockaddr_in address{};
    socklen_t length = sizeof address;
    getsockname(s.fd(), reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return s;
}

Socket ConnectTcp(unsigned port) { return Open(Loopback(port), false); }

sockaddr_un UnixAddress(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    return address;
}

// Which connection strings name the server a socket is connected to.
TEST(ServerAddressTest, PeerIsTheServerOfTheConnectionString) {
    unsigned port = 0, other = 0;
    const Socket server = Listener(port), elsewhere = Listener(other);
    const Socket client = ConnectTcp(port);
    test::TempDir folder;
    const std::string pgFolder = folder.path().string();
    const Socket pgServer = Open(UnixAddress(pgFolder + "/.s.PGSQL.5433"), true);
    const Socket pgClient = Open(UnixAddress(pgFolder + "/.s.PGSQL.5433"), false);
    const std::string myPath = folder.file("mysqld.sock");
    const Socket myServer = Open(UnixAddress(myPath), true);
    const Socket myClient = Open(UnixAddress(myPath), false);

    const std::string p = std::to_string(port), o = std::to_string(other);
    const struct {
        std::string connectionString;
        const Socket& socket;
        bool peer;
    } cases[] = {
        {"Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=" + p + ";Uid=a;", client, true},
        {"Driver={MariaDB Unicode};SERVER=localhost;PORT=" + p + ";", client, true},
        {"Driver={PostgreSQL Unicode};Servername=127.0.0.1;Port=" + p, client, true},
        {"Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=" + o, client, false},
        {"Driver={PostgreSQL Unicode};Server=127.0.0.2;Port=" + p, client, false},
        {"Driver={PostgreSQL Unicode};Server=127.0.0.1", client, false},  // the default port, 5432
        {"Driver={PostgreSQL Unicode};Server=" + pgFolder + ";Port=5433", pgClient, true},
        {"Driver={PostgreSQL Unicode};Server=" + pgFolder + ";Port=5432", pgClient, false},
        {"Driver={MariaDB Unicode};Server=localhost;Socket=" + myPath, myClient, true},
        {"Driver={MariaDB Unicode};Socket=" + myPath, myClient, true},
        {"Driver={MariaDB Unicode};Server=localhost;Socket=" + myPath, pgClient, false},
        {"DSN=no such source", client, false},
        {"Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=" + p, server, false},  // listening: no peer
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.connectionString);
        EXPECT_EQ(ServerAddress::Of(c.connectionString).IsPeerOf(c.socket.fd()), c.peer);
    }
    EXPECT_FALSE(ServerAddress::Of("DSN=no such source").Known());
}

// Sockets watched from before the connect or named after it; with no
// server it can tell, the watchdog shuts nothing down.
TEST(WatchdogTest, HostSocketsOpenedDuringAConnectSurvive) {
    unsigned port = 0, other = 0;
    const Socket server = Listener(port), elsewhere = Listener(other);
    enum Mode { During, After, UnknownServer };
    for (const Mode mode : {During, After, UnknownServer}) {
        SCOPED_TRACE(mode);
        Watchdog watchdog;
        watchdog.WatchServer(ServerAddress::Of(
            mode == UnknownServer ? "DSN=no such source"
                                  : "Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=" + std::to_string(port)));
        const std::vector<SocketId> before = OpenSockets();
        watchdog.WatchSocketsOpenedSince(before);
        const Socket connection = ConnectTcp(port);
        // The host's, in the same window.
        unsigned hostPort = 0;
        const Socket hostListener = Listener(hostPort);
        const Socket hostClient = ConnectTcp(other);
        int pair[2];
        ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
        const Socket hostPair(pair[0]), hostPeer(pair[1]);
        if (mode == After) {
            std::vector<SocketId> own = OpenSockets();
            std::erase_if(own, [&](const SocketId& s) { return std::ranges::find(before, s) != before.end(); });
            watchdog.WatchSockets(own);
        }

        watchdog.Arm(std::chrono::milliseconds(20));
        const auto until =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(mode == UnknownServer ? 100 : 5000);
        while (connection.Untouched() && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_TRUE(watchdog.Disarm());
        EXPECT_EQ(connection.Untouched(), mode == UnknownServer);
        EXPECT_TRUE(hostListener.Untouched() && hostClient.Untouched() && hostPair.Untouched() && hostPeer.Untouched());
    }
}

}  // namespace
}  // namespace pelmar::db::detail
