#include "support/LocalHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace {
int BindLoopback(uint16_t& port)
{
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("cannot bind a loopback socket");
    port = ntohs(address.sin_port);
    return fd;
}

bool Readable(int fd, int waitMs)
{
    pollfd entry{fd, POLLIN, 0};
    return poll(&entry, 1, waitMs) > 0;
}
} // namespace

LocalHttpServer::LocalHttpServer(Handler handler) : handler(std::move(handler))
{
    listener = BindLoopback(port);
    listen(listener, 8);
    thread = std::thread([this] { Run(); });
}

LocalHttpServer::~LocalHttpServer()
{
    stopping = true;
    thread.join();
    for (int fd : silent)
        close(fd);
    close(listener);
}

std::string LocalHttpServer::Url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(port) + path;
}

std::vector<std::string> LocalHttpServer::Requests() const
{
    std::lock_guard<std::mutex> guard(lock);
    return requests;
}

uint16_t LocalHttpServer::UnusedPort()
{
    uint16_t port = 0;
    close(BindLoopback(port));
    return port;
}

void LocalHttpServer::Run()
{
    while (!stopping) {
        if (!Readable(listener, 20))
            continue;
        int connection = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection >= 0)
            Serve(connection);
    }
}

void LocalHttpServer::Serve(int connection)
{
    std::string request;
    char buffer[512];
    while (request.find("\r\n\r\n") == std::string::npos && !stopping) {
        if (!Readable(connection, 20))
            continue;
        ssize_t got = recv(connection, buffer, sizeof(buffer), 0);
        if (got <= 0)
            break;
        request.append(buffer, static_cast<size_t>(got));
    }
    {
        std::lock_guard<std::mutex> guard(lock);
        requests.push_back(request);
    }
    Answer answer = handler(request);
    if (!answer.respond) {
        silent.push_back(connection);
        return;
    }
    int on = 1;
    setsockopt(connection, IPPROTO_TCP, TCP_NODELAY, &on, sizeof(on));
    for (const std::string& segment : answer.segments) {
        send(connection, segment.data(), segment.size(), MSG_NOSIGNAL);
        std::this_thread::sleep_for(std::chrono::milliseconds(3));
    }
    close(connection);
}
