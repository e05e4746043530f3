#include "app/WebClient.h"

#include "platform/Clock.h"
#include "support/Eventually.h"
#include "support/LocalHttpServer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
// Polls the client the way its owner's loop does, until it settles or the
// test's own patience runs out.
void Settle(WebClient& client)
{
    WaitUntil([&client] {
        if (client.status != WebClient::Busy)
            return true;
        client.Update();
        return false;
    });
}

LocalHttpServer::Answer Reply(std::vector<std::string> segments)
{
    return LocalHttpServer::Answer{std::move(segments), true};
}

class CountingClient : public WebClient
{
  public:
    void OnStatus() override { seen.push_back(status); }
    std::vector<int> seen;
};
} // namespace

TEST(WebClientTest, SendsTheRequestLineAgentAndEmptyLine)
{
    LocalHttpServer server([](const std::string&) { return Reply({"HTTP/1.0 200 OK\r\n\r\nfine"}); });
    WebClient client;
    client.agent = "TarnquillBugTracker";
    client.Get(server.Url("/cgi-bin/errorreport.cgi?a b").c_str(), 5000, 65535);
    Settle(client);
    ASSERT_EQ(client.status, WebClient::Done) << client.result.CStr();
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0], "GET " + server.Url("/cgi-bin/errorreport.cgi?a%20b") +
                                        " HTTP/1.0\r\nUser-Agent:TarnquillBugTracker\r\n\r\n");
    EXPECT_STREQ(client.result.CStr(), "HTTP/1.0 200 OK\r\n\r\nfine");
}

TEST(WebClientTest, DefaultAgent)
{
    LocalHttpServer server([](const std::string&) { return Reply({}); });
    WebClient client;
    client.Get(server.Url("/").c_str(), 5000, 100);
    Settle(client);
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_NE(server.Requests()[0].find("\r\nUser-Agent:Tarnquillware\r\n"), std::string::npos);
}

TEST(WebClientTest, ReadsAReplySplitOverManySegmentsUntilTheServerCloses)
{
    std::vector<std::string> segments;
    std::string whole;
    for (int i = 0; i < 40; ++i) {
        segments.push_back("<part" + std::to_string(i) + ">");
        whole += segments.back();
    }
    LocalHttpServer server([&](const std::string&) { return Reply(segments); });
    WebClient client;
    client.Get(server.Url("/reply").c_str(), 5000, 65535);
    Settle(client);
    ASSERT_EQ(client.status, WebClient::Done) << client.result.CStr();
    EXPECT_EQ(std::string(client.result.CStr()), whole);
}

TEST(WebClientTest, ReplyIsCutAtTheLimitAndAtTheFirstNul)
{
    LocalHttpServer server([](const std::string& request) {
        if (request.find("/nul") != std::string::npos)
            return Reply({std::string("ab\0cd", 5)});
        return Reply({"0123456789", "abcdef"});
    });
    WebClient client;
    client.Get(server.Url("/long").c_str(), 5000, 12);
    Settle(client);
    ASSERT_EQ(client.status, WebClient::Done);
    EXPECT_STREQ(client.result.CStr(), "0123456789ab");

    client.Get(server.Url("/nul").c_str(), 5000, 100);
    Settle(client);
    ASSERT_EQ(client.status, WebClient::Done);
    EXPECT_STREQ(client.result.CStr(), "ab");
}

TEST(WebClientTest, ServerClosingWithoutAReplyGivesAnEmptyResult)
{
    LocalHttpServer server([](const std::string&) { return Reply({}); });
    CountingClient client;
    client.Get(server.Url("/").c_str(), 5000, 100);
    Settle(client);
    EXPECT_EQ(client.status, WebClient::Done);
    EXPECT_STREQ(client.result.CStr(), "");
    EXPECT_EQ(client.seen, (std::vector<int>{WebClient::Busy, WebClient::Done}));
}

TEST(WebClientTest, RefusedConnection)
{
    WebClient client;
    client.Get(String::StringFormat("http://127.0.0.1:%d/x", LocalHttpServer::UnusedPort()), 5000, 100);
    Settle(client);
    EXPECT_EQ(client.status, WebClient::Error);
    EXPECT_STREQ(client.result.CStr(), "Could not connect to server");
}

TEST(WebClientTest, SilentServerEndsInTimeOutNearTheDeadline)
{
    LocalHttpServer server([](const std::string&) { return LocalHttpServer::Answer{{}, false}; });
    WebClient client;
    uint32_t start = Platform::Clock::Milliseconds();
    client.Get(server.Url("/").c_str(), 300, 100);
    Settle(client);
    uint32_t took = Platform::Clock::Milliseconds() - start;
    EXPECT_EQ(client.status, WebClient::TimeOut);
    EXPECT_STREQ(client.result.CStr(), "Time-out");
    EXPECT_GE(took, 300u);
    EXPECT_LT(took, 2000u);
}

TEST(WebClientTest, InvalidUrlsFailAtOnce)
{
    CountingClient client;
    client.Get("ftp://127.0.0.1/file", 5000, 100);
    EXPECT_EQ(client.status, WebClient::Error);
    EXPECT_STREQ(client.result.CStr(), "Invalid URL (no http://)");
    EXPECT_EQ(client.seen, (std::vector<int>{WebClient::Error}));

    client.Get("127.0.0.1/file", 5000, 100);
    EXPECT_EQ(client.status, WebClient::Error);

    client.Get("http://127.0.0.1:99999/file", 5000, 100);
    EXPECT_EQ(client.status, WebClient::Error);
    EXPECT_STREQ(client.result.CStr(), "Host was not found");
}

TEST(WebClientTest, UnknownHostIsNotFound)
{
    // The answer comes from the system's resolver, which can be slow on a
    // loaded machine: the deadline leaves room for its own retries.
    WebClient client;
    client.Get("http://no-such-host.invalid/x", 40000, 100);
    Settle(client);
    EXPECT_EQ(client.status, WebClient::Error);
    EXPECT_STREQ(client.result.CStr(), "Host was not found");
}

TEST(WebClientTest, ANewRequestReplacesAPendingOne)
{
    LocalHttpServer silent([](const std::string&) { return LocalHttpServer::Answer{{}, false}; });
    LocalHttpServer answering([](const std::string&) { return Reply({"second"}); });
    WebClient client;
    client.Get(silent.Url("/first").c_str(), 5000, 100);
    // The first is under way: the silent server holds it unanswered.
    ASSERT_TRUE(WaitUntil([&] {
        client.Update();
        return !silent.Requests().empty();
    }));
    client.Get(answering.Url("/second").c_str(), 5000, 100);
    Settle(client);
    EXPECT_EQ(client.status, WebClient::Done);
    EXPECT_STREQ(client.result.CStr(), "second");
}
