#include "app/CrashWindow.h"

#include "app/App.h"
#include "app/Color.h"
#include "app/CrashCatcher.h"
#include "app/Font.h"
#include "app/Graphics.h"

#include <cstring>
#include <initializer_list>

namespace {
constexpr float kMargin = 10.0f;
constexpr float kPanelTop = 80.0f;
constexpr float kPanelBottom = 375.0f;
constexpr float kAreaX = 15.0f;
constexpr float kAreaY = 110.0f;
constexpr float kAreaHeight = 260.0f;
constexpr float kHeadingX = 12.0f;
constexpr float kHeadingY = 92.0f;
constexpr float kButtonY = 385.0f;
constexpr int kButtonHeight = 30;

Color Rgb(int r, int g, int b)
{
    return Color(static_cast<float>(r) / 255.0f, static_cast<float>(g) / 255.0f,
                 static_cast<float>(b) / 255.0f, 1.0f);
}

const Color kButtonFace = Rgb(240, 240, 240);
const Color kEdgeLight = Rgb(255, 255, 255);
const Color kEdgeDark = Rgb(128, 128, 255);
const Color kSendingPanel = Rgb(0, 0, 255);
const Color kDescribingPanel = Rgb(0, 128, 0);
const Color kReportPanel = Rgb(255, 0, 0);
const Color kIntroText = Rgb(0, 0, 0);
const Color kHeadingText = Rgb(255, 255, 255);
} // namespace

CrashWindow::CrashWindow(CrashCatcher& catcher, Font* font, const String& displayText)
    : catcher(catcher), font(font)
{
    name = "crashwindow";
    SetRect(0, 0, kWidth, kHeight);
    AddArea(report, Rgb(100, 0, 0), Rgb(255, 255, 255));
    report.SetText(displayText);
    AddArea(result, Rgb(0, 0, 100), Rgb(255, 255, 255));
    AddArea(description, Rgb(250, 255, 250), Rgb(0, 128, 0));
    description.readOnly = false;
    float half = kWidth / 2.0f;
    AddButton(sendButton, kMargin, "Send Report");
    AddButton(closeButton, half + 5.0f, String::StringFormat("Close %s", catcher.appName));
    ShowState();
}

// The areas and buttons are members: they leave the child list before they go.
CrashWindow::~CrashWindow()
{
    for (Gadget* child :
         std::initializer_list<Gadget*>{&report, &description, &result, &sendButton, &closeButton})
        RemoveChild(child);
}

void CrashWindow::AddArea(TextArea& area, const Color& background, const Color& text)
{
    area.font = font;
    area.backgroundColor = background;
    area.textColor = text;
    area.SetRect(kAreaX, kAreaY, kWidth - 2 * kAreaX, kAreaHeight);
    AddChild(&area);
}

void CrashWindow::AddButton(LabelButton& button, float x, const String& label)
{
    button.font = font;
    button.label = label;
    button.Place(x, kButtonY, kWidth / 2 - 15, kButtonHeight);
    button.SetListener(this, true);
}

void CrashWindow::Update()
{
    catcher.PollSend();
    ShowState();
}

// One area is shown, and has the keys and the wheel once it comes up.
void CrashWindow::ShowState()
{
    TextArea* wanted = catcher.sending ? &result : catcher.describing ? &description : &report;
    for (TextArea* area : {&report, &description, &result})
        area->hidden = area != wanted;
    if (wanted != shown) {
        shown = wanted;
        shown->TakeKeyFocus();
        shown->TakeWheelFocus();
    }
    // An empty text may hold no characters at all: compared as C strings.
    if (std::strcmp(result.GetText().CStr(), catcher.resultText.CStr()) != 0) {
        result.SetText(catcher.resultText);
        resultChanged = true;
    }
    sendButton.label = catcher.describing ? "Send Now" : "Send Report";
    sendButton.disabled = !catcher.sendEnabled;
}

bool CrashWindow::TakeResultChange()
{
    const bool was = resultChanged;
    resultChanged = false;
    return was;
}

void CrashWindow::OnGadgetEvent(Gadget* sender)
{
    if (sender == &closeButton) {
        catcher.done = true;
        theApp->Quit();
    } else if (sender == &sendButton) {
        if (!catcher.describing && !catcher.sentOnce) {
            catcher.StartDescription();
        } else {
            catcher.SetUserText(description.GetText());
            catcher.retries = 0;
            catcher.SendReport();
        }
        ShowState();
    }
}

void CrashWindow::Draw()
{
    float width = rect.w;
    float height = rect.h;
    theGraphics.SetColor(kButtonFace);
    theGraphics.FillRect(0, 0, width, height);
    theGraphics.SetColor(kEdgeLight);
    theGraphics.FillRect(0, 0, width, 1);
    theGraphics.FillRect(0, 0, 1, height);
    theGraphics.SetColor(kEdgeDark);
    theGraphics.FillRect(width - 1, 0, 1, height);
    theGraphics.FillRect(0, height - 1, width, 1);
    if (font != nullptr) {
        theGraphics.SetColor(kIntroText);
        font->Draw(font->WrapText(catcher.IntroText(), width - 2 * kMargin), kMargin, kMargin);
    }
    DrawPanel();
}

const char* CrashWindow::GetHeading() const
{
    if (catcher.sending)
        return "Sending Error Report...";
    return catcher.describing ? "What happened?" : "Error Report:";
}

Color CrashWindow::GetPanelColor() const
{
    if (catcher.sending)
        return kSendingPanel;
    return catcher.describing ? kDescribingPanel : kReportPanel;
}

void CrashWindow::DrawPanel()
{
    theGraphics.SetColor(GetPanelColor());
    theGraphics.FillRect(kMargin, kPanelTop, rect.w - 2 * kMargin, kPanelBottom - kPanelTop);
    if (font == nullptr)
        return;
    theGraphics.SetColor(kHeadingText);
    font->Draw(GetHeading(), kHeadingX, kHeadingY);
}
