#include "app/WebClient.h"

#include "platform/Clock.h"
#include "platform/Net.h"

#include <charconv>

namespace {
constexpr char kScheme[] = "http://";

// The host part of the URL: after the scheme, up to the next "/".
std::string HostOf(const String& url)
{
    std::string text = url.CStr();
    size_t start = text.find(kScheme) + sizeof(kScheme) - 1;
    size_t end = text.find('/', start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

// "name:port" names its port; a port that is not a number from 1 to 65535
// makes the host one that cannot be found.
bool SplitPort(std::string& host, uint16_t& port)
{
    port = 80;
    size_t colon = host.rfind(':');
    if (colon == std::string::npos)
        return true;
    unsigned value = 0;
    const char* first = host.data() + colon + 1;
    const char* last = host.data() + host.size();
    auto [end, error] = std::from_chars(first, last, value);
    host.erase(colon);
    if (error != std::errc() || end != last || value == 0 || value > 65535)
        return false;
    port = static_cast<uint16_t>(value);
    return true;
}

bool Expired(uint32_t deadline)
{
    return static_cast<int32_t>(Platform::Clock::Milliseconds() - deadline) >= 0;
}
} // namespace

WebClient::WebClient() = default;

WebClient::~WebClient()
{
    Close();
}

void WebClient::OnStatus() {}

void WebClient::Close()
{
    stage = Stage::None;
    lookup.reset();
    connection.reset();
    unsent.clear();
}

void WebClient::Get(const String& url, int timeoutMs, int limit)
{
    Close();
    if (url.Find(kScheme) < 0) {
        Finish(Error, "Invalid URL (no http://)");
        return;
    }
    String line = url;
    line.Replace(" ", "%20");
    request = String::StringFormat("GET %s HTTP/1.0\r\nUser-Agent:%s\r\n\r\n", line, agent);
    replyLimit = limit > 0 ? static_cast<size_t>(limit) : 0;
    deadline = Platform::Clock::Milliseconds() + static_cast<uint32_t>(timeoutMs > 0 ? timeoutMs : 0);
    status = Busy;
    OnStatus();
    std::string host = HostOf(url);
    if (!SplitPort(host, port)) {
        Finish(Error, "Host was not found");
        return;
    }
    lookup = std::make_unique<Platform::Net::Lookup>(host);
    stage = Stage::LookingUp;
}

void WebClient::Update()
{
    Stage before;
    do {
        before = stage;
        if (stage != Stage::None && Expired(deadline)) {
            Finish(TimeOut, "Time-out");
            return;
        }
        switch (stage) {
        case Stage::None:
            return;
        case Stage::LookingUp:
            UpdateLookup();
            break;
        case Stage::Connecting:
            UpdateConnect();
            break;
        case Stage::Sending:
            UpdateSend();
            break;
        case Stage::Receiving:
            UpdateReceive();
            break;
        }
    } while (stage != before);
}

void WebClient::Finish(int newStatus, const char* message)
{
    Close();
    status = newStatus;
    if (message != nullptr)
        result = message;
    OnStatus();
}

void WebClient::UpdateLookup()
{
    if (!lookup->IsFinished())
        return;
    if (!lookup->IsFound()) {
        Finish(Error, "Host was not found");
        return;
    }
    connection = std::make_unique<Platform::Net::Connection>(lookup->GetAddress(), port);
    lookup.reset();
    stage = Stage::Connecting;
}

void WebClient::UpdateConnect()
{
    Platform::Net::Progress progress = connection->PollConnect(0);
    if (progress == Platform::Net::Progress::Pending)
        return;
    if (progress != Platform::Net::Progress::Ready) {
        Finish(Error, "Could not connect to server");
        return;
    }
    unsent = request.CStr();
    stage = Stage::Sending;
}

void WebClient::UpdateSend()
{
    Platform::Net::Progress progress = connection->Send(unsent);
    if (progress == Platform::Net::Progress::Pending)
        return;
    if (progress != Platform::Net::Progress::Ready) {
        Finish(Error, "Could not send URL request");
        return;
    }
    reply.clear();
    stage = Stage::Receiving;
}

// The reply is whatever arrives until the server closes the connection, or
// until the limit is reached; the HTTP header stays in it for the caller.
void WebClient::UpdateReceive()
{
    for (;;) {
        Platform::Net::Progress progress = connection->Receive(reply, replyLimit - reply.size(), 0);
        if (progress == Platform::Net::Progress::Pending)
            return;
        if (progress == Platform::Net::Progress::Failed) {
            Finish(Error, "Could not receive server response");
            return;
        }
        if (progress == Platform::Net::Progress::Closed || reply.size() >= replyLimit)
            break;
    }
    // Text ends at the first NUL, as the reply's users read it.
    result = reply.c_str();
    reply.clear();
    Finish(Done, nullptr);
}
