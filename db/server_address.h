#pragma once
// Where the server of an ODBC connection string listens: the addresses its
// host resolves to with its port, or its Unix socket path. The watchdog
// shuts a socket down only when this is its peer.
//
// The host, port and socket are read from the string (Server or Servername,
// Port, Socket), or from odbc.ini for a DSN that names none of them; a port
// left out is the driver's default (5432 for PostgreSQL, 3306 for MariaDB
// and MySQL). psqlODBC takes a Server that starts with "/" as the folder of
// the server's socket; the MariaDB driver takes "localhost" (or no server)
// as its socket, named by Socket or at its default path.
#include <sys/socket.h>

#include <string>
#include <vector>

namespace pelmar::db::detail {

class ServerAddress {
public:
    // Nothing is known of the server: no socket is its peer.
    ServerAddress() = default;
    static ServerAddress Of(const std::string& connectionString);

    // Whether the socket `fd` is connected to the server.
    bool IsPeerOf(int fd) const;
    bool Known() const noexcept { return !inet_.empty() || !paths_.empty(); }

private:
    struct Inet {
        int family;
        std::string address;  // the address's bytes
        unsigned port;
        bool operator==(const Inet&) const = default;
    };
    static bool Decode(const sockaddr_storage& address, socklen_t length, Inet& inet, std::string& path);
    void Resolve(const std::string& host, unsigned port);

    std::vector<Inet> inet_;
    std::vector<std::string> paths_;
};

}  // namespace pelmar::db::detail
