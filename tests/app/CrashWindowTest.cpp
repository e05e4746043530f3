#include "app/CrashWindow.h"

#include "app/CrashCatcher.h"
#include "app/CrashWindowApp.h"
#include "app/Graphics.h"
#include "app/LabelButton.h"
#include "app/TextArea.h"
#include "app/WebClient.h"
#include "platform/Dialogs.h"
#include "platform/Window.h"
#include "support/Eventually.h"
#include "support/LocalHttpServer.h"
#include "support/QueuedInput.h"
#include "support/SdlEventInjector.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace {
namespace fs = std::filesystem;
namespace Msg = Platform::Message;
namespace VK = Platform::VirtualKey;

const char kIntro[] =
    "Quorb Swap has encountered an unexpected error!  Pressing the 'Send Report' button will send this error "
    "report to Tarnquill via the web (an internet connection is required).  This may help us resolve the "
    "problem in future releases.";
const char kPreparing[] =
    "Preparing to send report...\n\nPlease help us out by providing as much information as "
    "you can about this crash, then clicking 'Send Now.'";
const char kContacting[] = "Contacting Tarnquill ...\r\n\r\n";
const char kSent[] =
    "Contacting Tarnquill ...\r\n\r\nError report sent successfully!\r\nThank you for your feedback!"
    "\r\n\r\nYou can click the close button to safely shut down this\r\nprogram now.";
const char kNotProcessed[] =
    "Contacting Tarnquill ...\r\n\r\nError: Could not contact Tarnquill reporting server!";

LocalHttpServer::Answer Result(const char* content)
{
    return {{std::string("HTTP/1.0 200 OK\r\n\r\n<RESULT>") + content + "</RESULT>"}, true};
}

bool SameColor(const Color& a, const Color& b)
{
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

// The reporter's window under the dummy video driver, its font taken from
// the program folder, driven through the application's input queue.
class CrashWindowTest : public testing::Test
{
  protected:
    CrashWindowTest() : previous(fs::current_path())
    {
        const char* folder = std::getenv("QS_PROGRAM_DIR");
        fs::current_path(folder != nullptr ? folder : ".");
        catcher.appName = "Quorb Swap";
        catcher.company = "Tarnquill";
        catcher.crashText = "<MODULE>m</MODULE>";
    }

    ~CrashWindowTest() override
    {
        app.reset();
        fs::current_path(previous);
    }

    // False when the window cannot open (no font in the program folder).
    bool Open(const std::string& server, bool enabled = true,
              const String& displayText = "<MODULE>m</MODULE>")
    {
        catcher.reportServer = server.c_str();
        catcher.reportsEnabled = enabled;
        catcher.sendEnabled = enabled;
        app = std::make_unique<CrashWindowApp>(catcher, displayText);
        if (!app->Open())
            return false;
        window = app->crashWindow;
        input = std::make_unique<QueuedInput>(*app);
        Step();
        return true;
    }

    // The window's messages pumped, one update and one frame drawn.
    void Step()
    {
        app->PumpMessages();
        app->DoUpdate();
        app->DrawFrame();
    }

    void Click(Gadget* gadget)
    {
        input->Click(static_cast<int>(gadget->rect.x) + 20, static_cast<int>(gadget->rect.y) + 10);
        Step();
    }

    // The server answers from a thread of its own, which a loaded machine
    // can hold back for long. No answer comes where nothing is being sent,
    // nor once the client has settled and the step after did not take it.
    void WaitForAnswer()
    {
        ASSERT_TRUE(WaitUntil(
            [this] {
                if (catcher.finished)
                    return true;
                Step();
                return false;
            },
            [this] {
                return !catcher.sending ||
                       (catcher.webClient != nullptr && catcher.webClient->status != WebClient::Busy);
            }));
        Step();
    }

    void ExpectState(TextArea* shown, const char* heading, const Color& panel, const char* intro,
                     const char* sendLabel)
    {
        for (TextArea* area : {&window->report, &window->description, &window->result})
            EXPECT_EQ(area->hidden, area != shown) << heading;
        EXPECT_EQ(app->keyFocusGadget, shown) << heading;
        EXPECT_STREQ(window->GetHeading(), heading);
        EXPECT_TRUE(SameColor(window->GetPanelColor(), panel)) << heading;
        EXPECT_STREQ(catcher.IntroText().CStr(), intro);
        EXPECT_STREQ(window->sendButton.label.CStr(), sendLabel);
    }

    fs::path previous;
    CrashCatcher catcher;
    std::unique_ptr<CrashWindowApp> app;
    CrashWindow* window = nullptr;
    std::unique_ptr<QueuedInput> input;
    Platform::Dialogs::Recorder dialogs;
};
} // namespace

TEST_F(CrashWindowTest, ReportDescriptionSendingAndAnswerFollowTheButtons)
{
    LocalHttpServer server([](const std::string&) { return Result("OK"); });
    ASSERT_TRUE(Open(server.Url("")));
    EXPECT_STREQ(app->title.CStr(), "Quorb Swap - Unexpected Error");
    EXPECT_STREQ(window->closeButton.label.CStr(), "Close Quorb Swap");
    EXPECT_STREQ(window->report.GetText().CStr(), "<MODULE>m</MODULE>");
    ExpectState(&window->report, "Error Report:", Color(1, 0, 0, 1), kIntro, "Send Report");

    Click(&window->sendButton);
    ExpectState(&window->description, "What happened?", Color(0, 128 / 255.0f, 0, 1), kPreparing, "Send Now");
    EXPECT_TRUE(server.Requests().empty());

    // Enter and Tab stay in the area as typed; 300 more characters stop at
    // the limit, each refused one with a beep.
    input->Type("it\tfroze\rabc");
    input->Char(VK::Back);
    input->Type(std::string(300, 'x'));
    EXPECT_EQ(window->description.GetText().Length(), 255);
    EXPECT_EQ(dialogs.beeps, 300 - (255 - 11));

    Click(&window->sendButton);
    ExpectState(&window->result, "Sending Error Report...", Color(0, 0, 1, 1), kPreparing, "Send Report");
    EXPECT_STREQ(window->result.GetText().CStr(), kContacting);
    EXPECT_TRUE(window->sendButton.disabled);

    WaitForAnswer();
    EXPECT_STREQ(window->result.GetText().CStr(), kSent);
    EXPECT_STREQ(window->GetHeading(), "Sending Error Report...");
    EXPECT_TRUE(window->sendButton.disabled);
    ASSERT_EQ(server.Requests().size(), 1u);
    std::string request = server.Requests()[0];
    EXPECT_NE(request.find("%3cUSER%3eit%20froze%20ab" + std::string(244, 'x') + "%3c%2fUSER%3e"),
              std::string::npos)
        << request;

    Click(&window->closeButton);
    EXPECT_TRUE(app->quit);
    EXPECT_TRUE(catcher.done);
}

// Waiting for the player the window draws nothing: its loop waits for the
// window system instead. Input through the application's input queue, and a
// send's answer, each bring one frame.
TEST_F(CrashWindowTest, DrawsOnlyWhenSomethingChanges)
{
    LocalHttpServer server([](const std::string&) { return Result("OK"); });
    ASSERT_TRUE(Open(server.Url("")));
    EXPECT_TRUE(app->loaded) << "nothing keeps the screen saver away";
    uint32_t now = 0, lastWait = 0;
    app->wait = [&](uint32_t milliseconds) {
        now += milliseconds;
        lastWait = milliseconds;
    };
    // The frames presented in turns of the loop over two seconds of waits,
    // or in one turn.
    auto framesOver = [&](uint32_t milliseconds) {
        const int before = theGraphics.mFramesPresented;
        const uint32_t end = now + milliseconds;
        for (int turns = 0; turns < 1000 && (turns == 0 || now < end); ++turns) {
            app->Turn();
            EXPECT_GE(lastWait, 100u) << "the loop waits for the window system";
        }
        return theGraphics.mFramesPresented - before;
    };
    const int sendX = static_cast<int>(window->sendButton.rect.x) + 20;
    const int sendY = static_cast<int>(window->sendButton.rect.y) + 10;
    struct Case
    {
        const char* what;
        std::function<void()> act;
        int frames;
    };
    const Case cases[] = {
        {"the report shown", [] {}, 1},
        {"Send Report clicked", [&] { input->Click(sendX, sendY); }, 1},
        {"waiting for the description", [] {}, 0},
        {"a letter typed", [&] { input->Type("a"); }, 1},
        {"the pointer moved", [&] { input->Move(200, 200); }, 1},
        {"a Backspace", [&] { input->Char(VK::Back); }, 1},
        {"the window uncovered", [] { SdlEventInjector::Window(SdlEventInjector::WindowChange::Exposed); }, 1},
        {"a key pressed on the window",
         [] {
             SdlEventInjector::Key("End", true);
             SdlEventInjector::Key("End", false);
         },
         1},
    };
    for (const Case& c : cases) {
        c.act();
        EXPECT_EQ(framesOver(2000), c.frames) << c.what;
    }
    ASSERT_TRUE(catcher.describing);

    input->Click(sendX, sendY);
    ASSERT_TRUE(catcher.sending);
    int frames = 0;
    uint32_t longestSendWait = 0;
    ASSERT_TRUE(WaitUntil([&] {
        if (catcher.finished)
            return true;
        const int before = theGraphics.mFramesPresented;
        app->Turn();
        frames += theGraphics.mFramesPresented - before;
        if (!catcher.finished)
            longestSendWait = std::max(longestSendWait, lastWait);
        return false;
    }));
    EXPECT_STREQ(window->result.GetText().CStr(), kSent);
    EXPECT_EQ(frames, 2) << "the click and the answer";
    EXPECT_LE(longestSendWait, 10u) << "a send under way is looked at often";
    EXPECT_EQ(framesOver(2000), 0) << "the answer shown";
}

TEST_F(CrashWindowTest, FailedSendsReenableTheButtonWhichSendsAgainDirectly)
{
    struct Case
    {
        const char* name;
        std::vector<LocalHttpServer::Answer> answers;
        size_t requests;
    };
    LocalHttpServer::Answer nothing{{""}, true};
    for (const Case& c : {Case{"retry, then nothing", {Result("retry"), nothing}, 2},
                          Case{"another result", {Result("later")}, 1}}) {
        size_t asked = 0;
        LocalHttpServer server(
            [&](const std::string&) { return asked < c.answers.size() ? c.answers[asked++] : Result("OK"); });
        ASSERT_TRUE(Open(server.Url("")));
        Click(&window->sendButton);
        Click(&window->sendButton);
        WaitForAnswer();
        EXPECT_EQ(server.Requests().size(), c.requests) << c.name;
        EXPECT_EQ(std::string(window->result.GetText().CStr()).rfind(kNotProcessed, 0), 0u) << c.name;
        EXPECT_FALSE(window->sendButton.disabled) << c.name;

        // No description stage the second time: straight to the send.
        Click(&window->sendButton);
        ExpectState(&window->result, "Sending Error Report...", Color(0, 0, 1, 1), kPreparing, "Send Report");
        WaitForAnswer();
        EXPECT_STREQ(window->result.GetText().CStr(), kSent) << c.name;
        app.reset();
        catcher.describing = catcher.sentOnce = catcher.sending = catcher.finished = false;
    }
}

TEST_F(CrashWindowTest, ClosingEndsTheWindowInEveryState)
{
    // The server holds the connection without a word: the send stays busy.
    LocalHttpServer server([](const std::string&) { return LocalHttpServer::Answer{{}, false}; });
    for (int clicks = 0; clicks <= 2; ++clicks) {
        for (bool byButton : {true, false}) {
            ASSERT_TRUE(Open(server.Url("")));
            for (int i = 0; i < clicks; ++i)
                Click(&window->sendButton);
            EXPECT_EQ(catcher.describing, clicks == 1);
            EXPECT_EQ(catcher.sending, clicks == 2);
            if (byButton) {
                Click(&window->closeButton);
            } else {
                SdlEventInjector::Window(SdlEventInjector::WindowChange::Close);
                Step();
            }
            EXPECT_TRUE(app->quit) << clicks << byButton;
            app.reset();
            catcher.describing = catcher.sentOnce = catcher.sending = false;
        }
    }
}

TEST_F(CrashWindowTest, ReportScrollsByWheelBarAndKeysAndSendingMayBeOff)
{
    String lines;
    for (int i = 0; i < 60; ++i)
        lines.AppendString(String::StringFormat("<STACKWALK>0001:%.08X</STACKWALK>\r\n", i));
    ASSERT_TRUE(Open("http://127.0.0.1:1", false, lines));
    TextArea* report = &window->report;
    int visible = report->GetVisibleLines();
    ASSERT_GT(report->GetLineCount(), visible);
    int last = report->GetLineCount() - visible;
    int barX = static_cast<int>(report->rect.x + report->rect.w) - TextArea::kBarWidth / 2;
    int top = static_cast<int>(report->rect.y);
    int bottom = static_cast<int>(report->rect.y + report->rect.h);

    struct Case
    {
        const char* name;
        std::function<void()> act;
        int topLine;
    };
    Case cases[] = {
        {"wheel down",
         [&] {
             SdlEventInjector::MouseMotion(100, 200);
             SdlEventInjector::MouseWheel(-1);
         },
         3},
        {"down key", [&] { input->KeyDown(VK::Down); }, 4},
        {"up arrow", [&] { input->Click(barX, top + 4); }, 3},
        {"track below the thumb", [&] { input->Click(barX, bottom - 30); }, 3 + visible - 1},
        {"end key", [&] { input->KeyDown(VK::End); }, last},
        {"down arrow at the end", [&] { input->Click(barX, bottom - 4); }, last},
        {"page up", [&] { input->KeyDown(VK::Prior); }, last - visible + 1},
        {"home key", [&] { input->KeyDown(VK::Home); }, 0},
        {"wheel up at the top", [&] { SdlEventInjector::MouseWheel(1); }, 0},
    };
    for (const Case& c : cases) {
        c.act();
        Step();
        EXPECT_EQ(report->GetTopLine(), c.topLine) << c.name;
    }

    EXPECT_TRUE(window->sendButton.disabled);
    Click(&window->sendButton);
    EXPECT_FALSE(catcher.describing);
    EXPECT_FALSE(report->hidden);
}
