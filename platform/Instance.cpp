#include "platform/Instance.h"

#include "platform/Folders.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>

namespace Platform {
namespace {
constexpr char kRequest[] = "raise";
constexpr int kBacklog = 8;
// How long a start waits for the holder to take its request: a holder that
// never accepts fills its queue, and a start must not wait on it for ever.
constexpr timeval kAnswerBound = {1, 0};

// What ReleaseInstanceNameOnFault gives up, kept where a signal handler
// reaches it without the heap or a lock.
volatile sig_atomic_t faultListener = -1;
volatile sig_atomic_t faultLock = -1;
char faultPath[sizeof(sockaddr_un::sun_path)];

// The socket's path in the user's runtime folder; empty when there is no
// such folder or the name does not fit a socket's address.
std::string SocketPath(const std::string& name)
{
    if (name.empty() || name.find('/') != std::string::npos)
        return std::string();
    const std::string folder = Folders::Runtime();
    const std::string path = folder + "/" + name;
    return folder.empty() || path.size() >= sizeof(sockaddr_un::sun_path) ? std::string() : path;
}

sockaddr_un AddressOf(const std::string& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return address;
}

int Listen(const std::string& path)
{
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const sockaddr_un address = AddressOf(path);
    if (fd >= 0 && bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0 &&
        listen(fd, kBacklog) == 0)
        return fd;
    if (fd >= 0)
        close(fd);
    return -1;
}

// Whether the other end of a connection runs as this user: the folder keeps
// everybody else out, and what comes in from anyone else (root) is neither
// our game running nor a voice it answers.
bool PeerIsThisUser(int connection)
{
    ucred peer{};
    socklen_t size = sizeof(peer);
    return getsockopt(connection, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == geteuid();
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

void RememberForFault(int listener, int lock, const std::string& path)
{
    std::memcpy(faultPath, path.c_str(), path.size() + 1);
    faultLock = lock;
    faultListener = listener;
}
} // namespace

Instance::~Instance()
{
    Release();
}

// The lock decides who holds the name, and only its holder touches the
// socket's path: a socket there without a holder is what a copy that ended
// at a fault left, and replacing it cannot take the name from anyone.
bool Instance::Acquire(const std::string& name)
{
    Release();
    const std::string path = SocketPath(name);
    if (path.empty())
        return false;
    const int lock = open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (lock < 0)
        return false;
    if (flock(lock, LOCK_EX | LOCK_NB) != 0) {
        close(lock);
        return false;
    }
    unlink(path.c_str());
    listener_ = Listen(path);
    if (listener_ < 0) {
        close(lock);
        return false;
    }
    lock_ = lock;
    path_ = path;
    RememberForFault(listener_, lock_, path_);
    return true;
}

void Instance::Release()
{
    for (int connection : pending_)
        close(connection);
    pending_.clear();
    if (listener_ < 0)
        return;
    if (faultListener == listener_) {
        faultListener = -1;
        faultLock = -1;
    }
    // The path goes while the lock is still held: it is ours until then.
    unlink(path_.c_str());
    close(listener_);
    close(lock_);
    listener_ = -1;
    lock_ = -1;
}

bool Instance::NotifyHolder(const std::string& name)
{
    const std::string path = SocketPath(name);
    if (path.empty())
        return false;
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    // Bounds the connect as well: it waits while the holder's queue is full.
    const sockaddr_un address = AddressOf(path);
    const bool sent =
        setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &kAnswerBound, sizeof(kAnswerBound)) == 0 &&
        connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0 &&
        PeerIsThisUser(fd) &&
        send(fd, kRequest, sizeof(kRequest) - 1, MSG_NOSIGNAL) == static_cast<ssize_t>(sizeof(kRequest) - 1);
    close(fd);
    return sent;
}

Instance::Start Instance::TakeOrHandOver(const std::string& name)
{
    if (Acquire(name))
        return Start::Holder;
    if (NotifyHolder(name))
        return Start::HandedOver;
    return Acquire(name) ? Start::Holder : Start::WithoutName;
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

void ReleaseInstanceNameOnFault()
{
    const int listener = faultListener;
    const int lock = faultLock;
    if (listener < 0)
        return;
    faultListener = -1;
    faultLock = -1;
    unlink(faultPath);
    close(listener);
    close(lock);
}
} // namespace Platform
