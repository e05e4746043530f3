#include "platform/Instance.h"

#include "platform/Folders.h"
#include "platform/Shell.h"

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
constexpr char kAnswer[] = "raised";
constexpr int kBacklog = 8;
// How long a start waits for the holder to take its request, and again for
// its answer: a stopped holder's queue takes requests until it is full, and
// a start must not wait on it for ever.
constexpr timeval kAnswerBound = {1, 0};

// What ReleaseInstanceNameOnFault gives up, kept where a signal handler
// reaches it without the heap or a lock.
volatile sig_atomic_t faultListener = -1;
volatile sig_atomic_t faultLock = -1;
char faultPath[sizeof(sockaddr_un::sun_path)];

// The socket's path in the first private folder that can hold it; empty
// when none can. The folders passed over go to "refused", with why.
std::string SocketPath(const std::string& name, std::string* refused)
{
    if (name.empty() || name.find('/') != std::string::npos || name.size() >= sizeof(sockaddr_un::sun_path))
        return std::string();
    for (const std::string& place : Folders::PrivatePlaces()) {
        const std::string path = place + "/" + name;
        const std::string why = path.size() >= sizeof(sockaddr_un::sun_path)
                                    ? "is too long a path for a socket's name"
                                    : Folders::WhyNotPrivate(place);
        if (why.empty())
            return path;
        if (refused != nullptr)
            *refused += (refused->empty() ? "" : "; ") + place + " " + why;
    }
    return std::string();
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
// everybody else out, and what comes in from anyone else (root) is not our
// game starting.
bool PeerIsThisUser(int connection)
{
    ucred peer{};
    socklen_t size = sizeof(peer);
    return getsockopt(connection, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == geteuid();
}

enum class Answer {
    Nobody, // nothing listens, or the holder went without answering
    Raised,
    Silent, // the holder took no request, or gave no answer, within the bound
};

// Sends the request to the socket and waits within the bound for the answer.
Answer Ask(const std::string& path)
{
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return Answer::Nobody;
    // The send bound covers the connect as well: it waits while the
    // holder's queue is full.
    const sockaddr_un address = AddressOf(path);
    const bool bounded = setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &kAnswerBound, sizeof(kAnswerBound)) == 0 &&
                         setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &kAnswerBound, sizeof(kAnswerBound)) == 0;
    if (!bounded || connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        const bool full = bounded && (errno == EAGAIN || errno == EWOULDBLOCK);
        close(fd);
        return full ? Answer::Silent : Answer::Nobody;
    }
    char reply[sizeof(kAnswer) - 1];
    Answer answer = Answer::Silent;
    if (send(fd, kRequest, sizeof(kRequest) - 1, MSG_NOSIGNAL) == static_cast<ssize_t>(sizeof(kRequest) - 1)) {
        const ssize_t got = recv(fd, reply, sizeof(reply), MSG_WAITALL);
        if (got == static_cast<ssize_t>(sizeof(reply)) && std::memcmp(reply, kAnswer, sizeof(reply)) == 0)
            answer = Answer::Raised;
        else if (got == 0)
            answer = Answer::Nobody;
    }
    close(fd);
    return answer;
}

void Say(const std::string& name, const std::string& what)
{
    Shell::PrintError("single-instance name " + name + ": " + what);
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
    const std::string path = SocketPath(name, nullptr);
    return !path.empty() && AcquireAt(path);
}

bool Instance::AcquireAt(const std::string& path)
{
    Release();
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
    const std::string path = SocketPath(name, nullptr);
    return !path.empty() && Ask(path) == Answer::Raised;
}

Instance::Start Instance::TakeOrHandOver(const std::string& name)
{
    std::string refused;
    const std::string path = SocketPath(name, &refused);
    if (!refused.empty())
        Say(name, refused + (path.empty() ? "" : "; it is held in " + path + " instead"));
    if (path.empty()) {
        Say(name, "no private folder can hold it: this copy runs without it, and a later start beside it");
        return Start::WithoutName;
    }
    if (AcquireAt(path))
        return Start::Holder;
    const Answer answer = Ask(path);
    if (answer == Answer::Raised)
        return Start::HandedOver;
    if (AcquireAt(path))
        return Start::Holder;
    Say(name, answer == Answer::Silent ? "another copy holds it but seems not to answer: this copy runs beside it"
                                       : "its holder cannot be reached: this copy runs beside it");
    return Start::WithoutName;
}

bool Instance::PollRaise(const std::function<void()>& raise)
{
    if (listener_ < 0)
        return false;
    for (int connection;
         (connection = accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC)) >= 0;)
        pending_.push_back(connection);
    std::vector<int> asking;
    auto finished = [&asking](int connection) {
        bool request = false;
        if (PeerIsThisUser(connection) && !ReadRequest(connection, request))
            return false;
        if (request)
            asking.push_back(connection);
        else
            close(connection);
        return true;
    };
    pending_.erase(std::remove_if(pending_.begin(), pending_.end(), finished), pending_.end());
    if (asking.empty())
        return false;
    raise();
    for (int connection : asking) {
        send(connection, kAnswer, sizeof(kAnswer) - 1, MSG_NOSIGNAL | MSG_DONTWAIT);
        close(connection);
    }
    return true;
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
