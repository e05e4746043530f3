#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// TCP for the HTTP client, in place of the system's asynchronous sockets: a
// host-name lookup that runs on a worker thread and a non-blocking
// connection. The owner polls both, so nothing ever waits on the network
// longer than the owner allows.
namespace Platform::Net {
// Resolves a host name (or a dotted IPv4 address) to an IPv4 address. The
// system's resolver cannot be interrupted; when the object goes first, the
// worker finishes on its own and its answer is dropped.
class Lookup
{
  public:
    explicit Lookup(const std::string& host);
    ~Lookup();
    Lookup(const Lookup&) = delete;
    Lookup& operator=(const Lookup&) = delete;

    bool IsFinished() const;
    // Once finished: whether the host was found, and its first address in
    // host byte order.
    bool IsFound() const;
    uint32_t GetAddress() const;

    // What the worker hands back; it keeps its own share of it.
    struct Shared;

  private:
    std::shared_ptr<Shared> shared;
};

enum class Progress {
    Pending, // nothing yet; poll again
    Ready,   // connected, all bytes sent, or bytes received
    Closed,  // the peer closed the connection
    Failed
};

// One TCP connection to an IPv4 address, every call non-blocking.
class Connection
{
  public:
    // Starts connecting; a socket that cannot be made shows as Failed.
    Connection(uint32_t address, uint16_t port);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Whether the connect has completed, waiting at most waitMs for it.
    Progress PollConnect(int waitMs);
    // Sends what it can of the bytes and removes that from the front; Ready
    // once nothing is left.
    Progress Send(std::string& bytes);
    // Appends at most room bytes of what arrived, waiting at most waitMs for
    // something to arrive.
    Progress Receive(std::string& into, size_t room, int waitMs);

  private:
    int socket = -1;
    bool connected = false;
};
} // namespace Platform::Net
