#include "db/server_address.h"

#include <netdb.h>
#include <netinet/in.h>
#include <odbcinst.h>
#include <sys/un.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>

#include "db/connection_string.h"

namespace pelmar::db::detail {
namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The value of `key` in the string, or in odbc.ini for its DSN.
class Settings {
public:
    explicit Settings(const std::string& connectionString)
            : pairs_(ParseConnectionString(connectionString)), dsn_(FindConnectionValue(pairs_, "DSN")) {}

    std::string Get(const char* key) const {
        if (auto value = FindConnectionValue(pairs_, key)) return *value;
        if (!dsn_ || dsn_->empty()) return {};
        char value[1024] = {};
        SQLGetPrivateProfileString(dsn_->c_str(), key, "", value, sizeof value, "odbc.ini");
        return value;
    }

private:
    ConnectionStringPairs pairs_;
    std::optional<std::string> dsn_;
};

std::string Canonical(const std::string& path) {
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
    return error ? path : canonical.string();
}

}  // namespace

ServerAddress ServerAddress::Of(const std::string& connectionString) {
    const Settings settings(connectionString);
    const std::string driver = Lower(settings.Get("Driver"));
    const bool postgres = driver.find("postgres") != std::string::npos || driver.find("psqlodbc") != std::string::npos;
    const bool mariadb = driver.find("maria") != std::string::npos || driver.find("mysql") != std::string::npos;
    std::string host = settings.Get("Server");
    if (host.empty()) host = settings.Get("Servername");
    const std::string portText = settings.Get("Port");
    unsigned port = postgres ? 5432 : mariadb ? 3306 : 0;
    if (!portText.empty()) port = static_cast<unsigned>(std::strtoul(portText.c_str(), nullptr, 10));

    ServerAddress server;
    if (postgres && (host.empty() || host.front() == '/')) {
        const std::string name = "/.s.PGSQL." + std::to_string(port);
        if (host.empty()) {
            for (const char* folder : {"/var/run/postgresql", "/tmp"})
                server.paths_.push_back(Canonical(folder + name));
        } else {
            server.paths_.push_back(Canonical(host + name));
        }
        return server;
    }
    if (mariadb && (host.empty() || Lower(host) == "localhost")) {
        const std::string socket = settings.Get("Socket");
        server.paths_.push_back(Canonical(socket.empty() ? "/run/mysqld/mysqld.sock" : socket));
        if (host.empty()) return server;
    }
    if (!host.empty() && port != 0) server.Resolve(host, port);
    return server;
}

void ServerAddress::Resolve(const std::string& host, unsigned port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return;
    const std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> list(found, freeaddrinfo);
    for (const addrinfo* a = found; a; a = a->ai_next) {
        sockaddr_storage address{};
        std::memcpy(&address, a->ai_addr, std::min<std::size_t>(a->ai_addrlen, sizeof address));
        Inet inet;
        std::string path;
        if (Decode(address, a->ai_addrlen, inet, path) && std::ranges::find(inet_, inet) == inet_.end())
            inet_.push_back(inet);
    }
}

// An IPv4 address seen through an IPv6 socket is taken as the IPv4 one.
bool ServerAddress::Decode(const sockaddr_storage& address, socklen_t length, Inet& inet, std::string& path) {
    switch (address.ss_family) {
        case AF_INET: {
            const auto& in = reinterpret_cast<const sockaddr_in&>(address);
            inet = {AF_INET, std::string(reinterpret_cast<const char*>(&in.sin_addr), sizeof in.sin_addr),
                    ntohs(in.sin_port)};
            return true;
        }
        case AF_INET6: {
            const auto& in6 = reinterpret_cast<const sockaddr_in6&>(address);
            const auto* bytes = reinterpret_cast<const char*>(&in6.sin6_addr);
            if (IN6_IS_ADDR_V4MAPPED(&in6.sin6_addr))
                inet = {AF_INET, std::string(bytes + 12, 4), ntohs(in6.sin6_port)};
            else
                inet = {AF_INET6, std::string(bytes, sizeof in6.sin6_addr), ntohs(in6.sin6_port)};
            return true;
        }
        case AF_UNIX: {
            const auto& un = reinterpret_cast<const sockaddr_un&>(address);
            const std::size_t room =
                length > offsetof(sockaddr_un, sun_path) ? length - offsetof(sockaddr_un, sun_path) : 0;
            path.assign(un.sun_path, strnlen(un.sun_path, std::min(room, sizeof un.sun_path)));
            return !path.empty();
        }
        default: return false;
    }
}

bool ServerAddress::IsPeerOf(int fd) const {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getpeername(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) return false;
    Inet inet;
    std::string path;
    if (!Decode(address, length, inet, path)) return false;
    if (!path.empty())
        return std::ranges::find(paths_, path) != paths_.end() ||
               std::ranges::find(paths_, Canonical(path)) != paths_.end();
    return std::ranges::find(inet_, inet) != inet_.end();
}

}  // namespace pelmar::db::detail
