#include "platform/Instance.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <string>

namespace Platform {
namespace {
constexpr char kRequest[] = "raise";

// The socket that holds the name, kept where a fault can reach it without
// going through the Instance object.
int heldName = -1;

// The abstract namespace: a leading NUL, no file on disk, gone with the
// process that bound it. Every user of the machine shares it, so the user's
// id is part of the name: each user has a lock of their own.
bool MakeAddress(const std::string& name, sockaddr_un& address, socklen_t& length)
{
    std::memset(&address, 0, sizeof(address));
    address.sun_family = AF_UNIX;
    const std::string owned = name + "." + std::to_string(getuid());
    if (name.empty() || owned.size() + 1 > sizeof(address.sun_path))
        return false;
    std::memcpy(address.sun_path + 1, owned.data(), owned.size());
    length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + owned.size());
    return true;
}

// Whether the other end of a connection runs as this user. The abstract
// namespace has no permissions: anybody can bind our name or connect to it,
// and another user's socket is neither our game running nor a voice it
// answers.
bool PeerIsThisUser(int connection)
{
    ucred peer{};
    socklen_t size = sizeof(peer);
    return getsockopt(connection, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == getuid();
}

// Reads what the connection has; true when it is finished with (the request
// arrived, or the peer went away or failed).
bool ReadRequest(int connection, bool& raise)
{
    char buffer[16];
    ssize_t got = recv(connection, buffer, sizeof(buffer), MSG_DONTWAIT);
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        return false;
    if (got >= static_cast<ssize_t>(sizeof(kRequest) - 1) &&
        std::memcmp(buffer, kRequest, sizeof(kRequest) - 1) == 0)
        raise = true;
    return true;
}
} // namespace

Instance::~Instance()
{
    Release();
}

bool Instance::Acquire(const std::string& name)
{
    Release();
    sockaddr_un address;
    socklen_t length;
    if (!MakeAddress(name, address, length))
        return false;
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 || listen(fd, 8) != 0) {
        close(fd);
        return false;
    }
    listener_ = fd;
    heldName = fd;
    return true;
}

void Instance::Release()
{
    for (int connection : pending_)
        close(connection);
    pending_.clear();
    if (listener_ >= 0)
        close(listener_);
    if (listener_ == heldName)
        heldName = -1;
    listener_ = -1;
}

bool Instance::NotifyHolder(const std::string& name)
{
    sockaddr_un address;
    socklen_t length;
    if (!MakeAddress(name, address, length))
        return false;
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    bool sent =
        connect(fd, reinterpret_cast<sockaddr*>(&address), length) == 0 && PeerIsThisUser(fd) &&
        send(fd, kRequest, sizeof(kRequest) - 1, MSG_NOSIGNAL) == static_cast<ssize_t>(sizeof(kRequest) - 1);
    close(fd);
    return sent;
}

bool Instance::PollRaise()
{
    if (listener_ < 0)
        return false;
    for (int connection;
         (connection = accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC)) >= 0;)
        pending_.push_back(connection);
    bool raise = false;
    auto finished = [&raise](int connection) {
        if (PeerIsThisUser(connection) && !ReadRequest(connection, raise))
            return false;
        close(connection);
        return true;
    };
    pending_.erase(std::remove_if(pending_.begin(), pending_.end(), finished), pending_.end());
    return raise;
}

// The abstract name goes with the last descriptor of its socket.
void ReleaseInstanceNameOnFault()
{
    const int fd = heldName;
    heldName = -1;
    if (fd >= 0)
        close(fd);
}
} // namespace Platform
