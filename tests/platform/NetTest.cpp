#include "platform/Net.h"

#include "support/AlternateStack.h"
#include "support/Eventually.h"
#include "support/LocalHttpServer.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <netdb.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace {
constexpr uint32_t kLoopback = 0x7F000001;


// Names under .invalid never resolve: the resolver below answers them at
// once, where the machine's name server may keep a lookup (and its thread,
// holding one of the alternate stacks) for seconds. The probe among them
// notes whether the thread that looks it up has an alternate stack.
constexpr const char* kStackProbe = "alternate-stack.probe.invalid";
std::atomic<const char*> stackOfTheLookupThread{"not looked up"};

bool NeverResolves(std::string_view host)
{
    constexpr std::string_view kInvalid = ".invalid";
    return host.size() >= kInvalid.size() && host.substr(host.size() - kInvalid.size()) == kInvalid;
}
} // namespace

// Defined in the test program, this comes before the C library's (and a
// sanitizer's) to every lookup; other names go on to the next one.
extern "C" int getaddrinfo(const char* host, const char* service, const addrinfo* hints, addrinfo** found)
{
    if (host != nullptr && std::strcmp(host, kStackProbe) == 0)
        stackOfTheLookupThread = AlternateStackOfThisThread();
    if (host != nullptr && NeverResolves(host))
        return EAI_NONAME;
    using Resolver = int (*)(const char*, const char*, const addrinfo*, addrinfo**);
    static const auto next = reinterpret_cast<Resolver>(dlsym(RTLD_NEXT, "getaddrinfo"));
    return next(host, service, hints, found);
}

TEST(NetTest, DottedAddressesNeedNoNameServer)
{
    Platform::Net::Lookup lookup("127.0.0.1");
    ASSERT_TRUE(WaitUntil([&] { return lookup.IsFinished(); }));
    EXPECT_TRUE(lookup.IsFound());
    EXPECT_EQ(lookup.GetAddress(), kLoopback);
}

// A fault of the resolver must find a stack for the crash handler.
TEST(NetTest, TheLookupThreadHasAnAlternateStack)
{
    Platform::Net::Lookup lookup(kStackProbe);
    ASSERT_TRUE(WaitUntil([&] { return lookup.IsFinished(); }));
    EXPECT_FALSE(lookup.IsFound());
    EXPECT_STREQ(stackOfTheLookupThread.load(), "set");
}

// The worker keeps its own share of the answer, so an owner that gives up
// early leaves nothing dangling behind.
TEST(NetTest, LookupsDroppedBeforeTheyFinishAreHarmless)
{
    for (int i = 0; i < 20; ++i)
        std::make_unique<Platform::Net::Lookup>(i % 2 ? "localhost" : "no-such-host.invalid").reset();
    Platform::Net::Lookup last("localhost");
    EXPECT_TRUE(WaitUntil([&] { return last.IsFinished(); }));
}

TEST(NetTest, ReceiveKeepsToTheRoomGivenAndSeesTheClose)
{
    LocalHttpServer server([](const std::string&) { return LocalHttpServer::Answer{{"abcdefgh"}, true}; });
    Platform::Net::Connection connection(kLoopback, server.Port());
    ASSERT_TRUE(WaitUntil([&] { return connection.PollConnect(10) == Platform::Net::Progress::Ready; }));
    std::string request = "GET / HTTP/1.0\r\n\r\n";
    EXPECT_EQ(connection.Send(request), Platform::Net::Progress::Ready);
    EXPECT_TRUE(request.empty());

    std::string reply;
    ASSERT_TRUE(
        WaitUntil([&] { return connection.Receive(reply, 3, 10) == Platform::Net::Progress::Ready; }));
    EXPECT_EQ(reply, "abc");
    Platform::Net::Progress progress = Platform::Net::Progress::Pending;
    ASSERT_TRUE(WaitUntil([&] {
        progress = connection.Receive(reply, 100, 10);
        return progress == Platform::Net::Progress::Closed;
    }));
    EXPECT_EQ(reply, "abcdefgh");
}

TEST(NetTest, ConnectingWhereNothingListensFails)
{
    Platform::Net::Connection connection(kLoopback, LocalHttpServer::UnusedPort());
    Platform::Net::Progress progress = Platform::Net::Progress::Pending;
    ASSERT_TRUE(WaitUntil([&] {
        progress = connection.PollConnect(10);
        return progress != Platform::Net::Progress::Pending;
    }));
    EXPECT_EQ(progress, Platform::Net::Progress::Failed);
    std::string bytes = "x";
    EXPECT_EQ(connection.Send(bytes), Platform::Net::Progress::Failed);
}
