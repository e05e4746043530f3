#include "platform/Net.h"

#include "platform/Crash.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <thread>

namespace Platform::Net {
struct Lookup::Shared
{
    std::atomic<bool> finished{false};
    bool found = false;
    uint32_t address = 0;
};

namespace {
void Resolve(const std::string& host, Lookup::Shared& shared)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) == 0 && found != nullptr) {
        shared.address = ntohl(reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
        shared.found = true;
    }
    if (found != nullptr)
        freeaddrinfo(found);
    shared.finished.store(true, std::memory_order_release);
}

// One poll of the socket for the given events; the revents, 0 when the wait
// ran out, -1 on failure.
int Wait(int socket, short events, int waitMs)
{
    pollfd entry{socket, events, 0};
    int ready;
    do {
        ready = poll(&entry, 1, waitMs < 0 ? 0 : waitMs);
    } while (ready < 0 && errno == EINTR);
    if (ready < 0)
        return -1;
    return ready == 0 ? 0 : entry.revents;
}

bool WouldBlock(int error)
{
    return error == EAGAIN || error == EWOULDBLOCK || error == EINTR;
}
} // namespace

Lookup::Lookup(const std::string& host) : shared(std::make_shared<Shared>())
{
    std::thread([host, shared = shared] {
        Platform::Crash::PrepareThread();
        Resolve(host, *shared);
    }).detach();
}

Lookup::~Lookup() = default;

bool Lookup::IsFinished() const
{
    return shared->finished.load(std::memory_order_acquire);
}

bool Lookup::IsFound() const
{
    return IsFinished() && shared->found;
}

uint32_t Lookup::GetAddress() const
{
    return IsFound() ? shared->address : 0;
}

Connection::Connection(uint32_t address, uint16_t port)
{
    socket = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (socket < 0)
        return;
    sockaddr_in server{};
    server.sin_family = AF_INET;
    server.sin_port = htons(port);
    server.sin_addr.s_addr = htonl(address);
    if (connect(socket, reinterpret_cast<const sockaddr*>(&server), sizeof(server)) == 0)
        connected = true;
    else if (errno != EINPROGRESS) {
        close(socket);
        socket = -1;
    }
}

Connection::~Connection()
{
    if (socket >= 0)
        close(socket);
}

Progress Connection::PollConnect(int waitMs)
{
    if (socket < 0)
        return Progress::Failed;
    if (connected)
        return Progress::Ready;
    int events = Wait(socket, POLLOUT, waitMs);
    if (events == 0)
        return Progress::Pending;
    int error = 0;
    socklen_t length = sizeof(error);
    if (events < 0 || getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0)
        return Progress::Failed;
    connected = true;
    return Progress::Ready;
}

// A peer that has gone must not end the program with SIGPIPE.
Progress Connection::Send(std::string& bytes)
{
    if (socket < 0 || !connected)
        return Progress::Failed;
    while (!bytes.empty()) {
        ssize_t sent = send(socket, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent < 0)
            return WouldBlock(errno) ? Progress::Pending : Progress::Failed;
        bytes.erase(0, static_cast<size_t>(sent));
    }
    return Progress::Ready;
}

Progress Connection::Receive(std::string& into, size_t room, int waitMs)
{
    if (socket < 0 || !connected)
        return Progress::Failed;
    if (room == 0)
        return Progress::Ready;
    int events = Wait(socket, POLLIN, waitMs);
    if (events == 0)
        return Progress::Pending;
    if (events < 0)
        return Progress::Failed;
    char buffer[4096];
    ssize_t got = recv(socket, buffer, room < sizeof(buffer) ? room : sizeof(buffer), 0);
    if (got < 0)
        return WouldBlock(errno) ? Progress::Pending : Progress::Failed;
    if (got == 0)
        return Progress::Closed;
    into.append(buffer, static_cast<size_t>(got));
    return Progress::Ready;
}
} // namespace Platform::Net
