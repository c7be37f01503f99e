// A serial server on loopback that lets no connection in: its queue of one holds its own client,
// so that a connect to it waits for an answer that never comes. Linux.
#pragma once

#include <arpa/inet.h>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

struct StalledServer {
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0), filler = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t size = sizeof address;
    StalledServer()
    {
        auto* at = reinterpret_cast<sockaddr*>(&address);
        if (::bind(listener, at, size) || ::listen(listener, 0) || ::getsockname(listener, at, &size) ||
            ::connect(filler, at, size))
            throw std::runtime_error("no stalled loopback server");
    }
    ~StalledServer() { ::close(filler), ::close(listener); }

    std::string Where() const { return "127.0.0.1:" + std::to_string(ntohs(address.sin_port)); }
    // Some client waits on its connect here now: the system's table shows it in SYN_SENT.
    bool Connecting() const
    {
        std::ifstream table("/proc/net/tcp");
        const std::string text((std::istreambuf_iterator<char>(table)), std::istreambuf_iterator<char>());
        char remote[32];
        std::snprintf(remote, sizeof remote, " 0100007F:%04X 02 ", ntohs(address.sin_port));
        return text.find(remote) != std::string::npos;
    }
};
