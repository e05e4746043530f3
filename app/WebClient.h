#pragma once

#include "app/String.h"

#include <cstdint>
#include <memory>
#include <string>

namespace Platform::Net {
class Lookup;
class Connection;
} // namespace Platform::Net

// One HTTP/1.0 GET at a time, without blocking its owner: the owner starts a
// request with Get and keeps calling Update from its loop until the status
// is no longer busy. The host name is looked up in the background; one
// time-out covers the lookup, the connect and the whole reply.
class WebClient
{
  public:
    enum Status { Idle = 0, Done = 1, Busy = 2, Error = 3, TimeOut = 4 };

    WebClient();
    virtual ~WebClient();
    WebClient(const WebClient&) = delete;
    WebClient& operator=(const WebClient&) = delete;

    // Called after every change of status.
    virtual void OnStatus();

    // Drops whatever is pending and starts a request for the URL. A port may
    // follow the host name ("http://host:8080/path"); it is 80 otherwise.
    void Get(const String& url, int timeoutMs, int replyLimit);
    // Moves a pending request on as far as it can go without waiting.
    void Update();
    void Close();

    int status = Idle;
    // The reply once done (cut at its first NUL byte), else the error message.
    String result;
    String request;
    String agent = "Tarnquillware";

  private:
    enum class Stage { None, LookingUp, Connecting, Sending, Receiving };

    void Finish(int newStatus, const char* message);
    void UpdateLookup();
    void UpdateConnect();
    void UpdateSend();
    void UpdateReceive();

    Stage stage = Stage::None;
    std::unique_ptr<Platform::Net::Lookup> lookup;
    std::unique_ptr<Platform::Net::Connection> connection;
    uint16_t port = 80;
    uint32_t deadline = 0;
    size_t replyLimit = 0;
    std::string unsent;
    std::string reply;
};
