#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A tiny HTTP server on 127.0.0.1 at a free port, run on a thread of its own
// for the life of the object. Each connection's request (read up to its empty
// line) goes to the handler, whose answer is written in the given segments,
// a short pause between them, before the connection is closed.
class LocalHttpServer
{
  public:
    struct Answer
    {
        std::vector<std::string> segments;
        // False keeps the connection open and silent until the server goes.
        bool respond = true;
    };
    using Handler = std::function<Answer(const std::string& request)>;

    explicit LocalHttpServer(Handler handler);
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    uint16_t Port() const { return port; }
    // "http://127.0.0.1:<port>" followed by the path.
    std::string Url(const std::string& path) const;
    std::vector<std::string> Requests() const;

    // A port on 127.0.0.1 that nothing listens on.
    static uint16_t UnusedPort();

  private:
    void Run();
    void Serve(int connection);

    Handler handler;
    int listener = -1;
    uint16_t port = 0;
    std::atomic<bool> stopping{false};
    mutable std::mutex lock;
    std::vector<std::string> requests;
    std::vector<int> silent;
    std::thread thread;
};
