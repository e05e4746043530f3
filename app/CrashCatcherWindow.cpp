#include "app/Console.h"
#include "app/CrashCatcher.h"
#include "app/CrashWindowApp.h"
#include "app/ParseXML.h"
#include "app/WebClient.h"
#include "platform/Clock.h"
#include "platform/Crash.h"

#include <iterator>
#include <vector>

namespace {
constexpr char kReportScript[] = "/cgi-bin/errorreport.cgi";
constexpr char kAgent[] = "TarnquillBugTracker";
constexpr int kSendTimeoutMs = 5000;
constexpr int kReplyLimit = 65535;
// A server that keeps asking for the report again is given up on, as for no
// answer at all.
constexpr int kMaxRetries = 3;
constexpr int kUserTextLimit = 255;
constexpr int kSendButton = 0;
constexpr int kCloseButton = 1;

constexpr const char* kSentLines[] = {"Error report sent successfully!", "Thank you for your feedback!", "",
                                      "You can click the close button to safely shut down this",
                                      "program now."};
constexpr const char* kNotProcessedLines[] = {"",
                                              "We're sorry, we could not process your error report.  This",
                                              "may be due to a temporary server outage, or could be because",
                                              "you are not connected to the internet.  You may press",
                                              "Send Report if you wish to try to report this error again,",
                                              "or click the close button to close the program."};
constexpr const char* kNotSentLines[] = {"", "We're sorry we couldn't connect to deliver this error",
                                         "report, but we appreciate the effort!  You can click",
                                         "Send Report to try again, or simply click the close",
                                         "button to shut down the program."};

String Contacting(const String& company)
{
    return String::StringFormat("Contacting %s ...\r\n\r\n", company);
}
} // namespace

void CrashCatcher::RunWindow(const String& displayText)
{
    done = false;
    sendEnabled = reportsEnabled;
    {
        CrashWindowApp app(*this, displayText);
        if (app.Open()) {
            app.Run();
            done = true;
            return;
        }
    }
    RunMessageBoxes(displayText);
}

String CrashCatcher::IntroText() const
{
    if (describing || sentOnce)
        return "Preparing to send report...\n\nPlease help us out by providing as much information as you "
               "can "
               "about this crash, then clicking 'Send Now.'";
    return String::StringFormat("%s has encountered an unexpected error!  Pressing the 'Send Report' button "
                                "will send this error report to %s via the web (an internet connection is "
                                "required).  This may help us resolve the problem in future releases.",
                                appName, company);
}

// Without the crash window, a message box stands in for it: the state's
// heading and text are its message, the buttons are the window's two, and
// the description is typed on the terminal when there is one (the
// description stage is left out when there is none).
void CrashCatcher::RunMessageBoxes(const String& displayText)
{
    while (!done) {
        if (ShowWindowState(displayText) != kSendButton) {
            done = true;
        } else if (!describing && !sentOnce && Platform::Crash::HasTerminal()) {
            StartDescription();
        } else {
            if (describing)
                SetUserText(Platform::Crash::ReadTerminalLine("What happened? ", kUserTextLimit).c_str());
            retries = 0;
            SendReport();
            FinishSend();
        }
    }
}

int CrashCatcher::ShowWindowState(const String& displayText)
{
    String text;
    const char* sendLabel = "Send Report";
    if (sending) {
        text = String::StringFormat("Sending Error Report...\r\n\r\n%s", resultText);
    } else if (describing) {
        text = IntroText().Concat(
            "\r\n\r\nWhat happened?  (Type it in the terminal after clicking 'Send Now'.)");
        sendLabel = "Send Now";
    } else {
        text = String::StringFormat("%s\r\n\r\nError Report:\r\n%s", IntroText(), displayText);
    }
    std::vector<std::string> buttons;
    if (sendEnabled)
        buttons.push_back(sendLabel);
    buttons.push_back(String::StringFormat("Close %s", appName).CStr());
    int close = static_cast<int>(buttons.size()) - 1;
    String title = String::StringFormat("%s - Unexpected Error", appName);
    int pressed = Platform::Crash::Choose(title.CStr(), text.CStr(), buttons, close);
    return pressed == close ? kCloseButton : kSendButton;
}

void CrashCatcher::StartDescription()
{
    describing = true;
}

void CrashCatcher::SetUserText(const String& typed)
{
    std::string text = typed.Mid(0, kUserTextLimit).CStr();
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 32)
            c = ' ';
    }
    userText = text.c_str();
}

String CrashCatcher::BuildReportMessage() const
{
    String product = appName;
    product.Replace(" ", "_");
    product.MakeLower();
    String message = String::StringFormat("%s <ERRORREPORT>%s", product, crashText);
    if (!userText.IsEmpty())
        message.AppendXMLTag("USER", userText);
    message.Append("</ERRORREPORT>");
    return message;
}

void CrashCatcher::SendReport()
{
    if (!webClient) {
        webClient = std::make_unique<WebClient>();
        webClient->agent = kAgent;
    }
    sendEnabled = false;
    String message = BuildReportMessage();
    theConsole->Printf("Crash String: %s", message.CStr());
    message.URLEncode();
    String address = String::StringFormat("%s%s?%s", reportServer, kReportScript, message);
    theConsole->Printf("Send String: %s", address.CStr());
    webClient->Get(address, kSendTimeoutMs, kReplyLimit);
    sending = true;
    describing = false;
    sentOnce = true;
    finished = false;
    resultText = Contacting(company);
}

void CrashCatcher::PollSend()
{
    if (!webClient || !sending || finished)
        return;
    webClient->Update();
    if (webClient->status != WebClient::Busy)
        HandleAnswer();
}

void CrashCatcher::FinishSend()
{
    while (webClient && sending && !finished) {
        PollSend();
        if (!finished)
            Platform::Clock::Sleep(10);
    }
}

void CrashCatcher::HandleAnswer()
{
    if (!webClient || webClient->status == WebClient::Busy)
        return;
    std::vector<String> lines;
    if (webClient->status == WebClient::Done) {
        bool answered = false;
        ParseXML reader;
        reader.SetText(webClient->result.CStr());
        for (ParseXMLTag tag = reader.NextTag(); !tag.empty && !answered; tag = reader.NextTag()) {
            if (tag.name.CompareNoCase("RESULT") != 0)
                continue;
            if (tag.content == "OK") {
                lines.assign(std::begin(kSentLines), std::end(kSentLines));
                answered = true;
            } else if (tag.content == "retry" && retries < kMaxRetries) {
                ++retries;
                SendReport();
                resultText.Append("Retrying...");
                return;
            }
        }
        if (!answered) {
            lines.push_back(String::StringFormat("Error: Could not contact %s reporting server!", company));
            lines.insert(lines.end(), std::begin(kNotProcessedLines), std::end(kNotProcessedLines));
            sendEnabled = true;
        }
    } else {
        lines = {"Could not send error report:", webClient->result};
        lines.insert(lines.end(), std::begin(kNotSentLines), std::end(kNotSentLines));
        sendEnabled = true;
    }
    resultText = Contacting(company);
    for (size_t i = 0; i < lines.size(); ++i) {
        resultText.Append(i == 0 ? "" : "\r\n");
        resultText.AppendString(lines[i]);
    }
    finished = true;
}
