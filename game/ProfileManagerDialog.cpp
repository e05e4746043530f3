// The user screen and its scrolling profile list.
#include "game/ProfileManagerDialog.h"

#include "app/Graphics.h"
#include "app/ProfileManager.h"
#include "game/AddProfileDialog.h"
#include "game/DialogButton.h"
#include "game/InfoDialog.h"
#include "game/QuorbSwapApp.h"

namespace {
constexpr int kLeftButton = -1; // the framework's number for the left button
constexpr float kScrollStep = 0.05f;
// 1 / kScrollStep steps cross the whole range; more cannot help.
constexpr int kMaxScrollSteps = 40;
} // namespace

ProfileManagerDialog::ProfileManagerDialog(ProfileManager* profiles) : profiles(profiles)
{
    QuorbSwapApp* app = theQuorbSwapApp;
    if (app == nullptr || app->IsQuitting())
        return;
    built = true;
    app->SaveConfig();
    SetFullScreen();
    font.Load("Fonts\\ArialBlack23");
    panel.LoadFromBundle(&app->bundleProfiles, "userscreen");
    createArt.LoadFromBundle(&app->bundleProfiles, "createuser", 3);
    deleteArt.LoadFromBundle(&app->bundleProfiles, "deleteuser", 3);
    selectArt.LoadFromBundle(&app->bundleProfiles, "selectuser", 3);
    cancelArt.LoadFromBundle(&app->bundleProfiles, "cancel", 3);
    const int w = DialogButton::Width(createArt);
    int left = int(407 - 1.1 * w);
    int right = 393 + w / 10;
    DialogButton::Setup(createButton, this, createArt, left, 375);
    DialogButton::Setup(deleteButton, this, deleteArt, right, 375);
    DialogButton::Setup(selectButton, this, selectArt, left, 440);
    DialogButton::Setup(cancelButton, this, cancelArt, right, 440);

    selected = openingRow = profiles->GetCurrentIndex();
    hover = -1;
    noCurrent = openingRow == -1;
    app->profileDialog = this;
    result = DialogButton::RunModal(this) == 1;
}

ProfileManagerDialog::~ProfileManagerDialog()
{
    RemoveChild(&scrollBar);
    for (Button* button : {&createButton, &deleteButton, &selectButton, &cancelButton})
        RemoveChild(button);
    if (!built)
        return;
    profiles->Save();
    if (theQuorbSwapApp != nullptr && theQuorbSwapApp->profileDialog == this)
        theQuorbSwapApp->profileDialog = nullptr;
}

void ProfileManagerDialog::Update()
{
    if (noCurrent)
        DialogButton::SetEnabled(cancelButton, false);
    DialogButton::SetEnabled(selectButton, selected != -1);
    DialogButton::SetEnabled(deleteButton, selected != -1);
}

bool ProfileManagerDialog::AddProfile()
{
    AddProfileDialog dialog(profiles);
    return !theQuorbSwapApp->IsQuitting();
}

void ProfileManagerDialog::Notify(Object* sender)
{
    if (sender == &createButton) {
        if (AddProfile())
            Initialize();
    } else if (sender == &deleteButton) {
        DeleteSelected();
    } else if (sender == &selectButton) {
        Select();
    } else if (sender == &cancelButton) {
        Cancel();
    }
}

void ProfileManagerDialog::DeleteSelected()
{
    if (selected < 0 || selected >= profiles->GetCount())
        return;
    InfoDialog question(InfoDialogKind::Question, "Really Delete?",
                        "Are you sure you want to delete this user?");
    if (question.answer != 1 || theQuorbSwapApp->IsQuitting())
        return;
    if (selected == openingRow)
        noCurrent = true;
    if (openingRow > selected)
        --openingRow;
    // The loaded progress belonged to this profile: it must not be written
    // into whichever profile becomes current next.
    theQuorbSwapApp->ForgetProgressOf(profiles->GetName(selected));
    profiles->Delete(selected);
    selected = std::max(selected - 1, 0);
    profiles->SetCurrent(selected);
    Initialize();
}

void ProfileManagerDialog::Select()
{
    if (selected == -1 || profiles->GetCount() == 0) {
        if (!AddProfile())
            return;
    }
    profiles->SetCurrent(selected);
    EndModal(selected != openingRow || noCurrent ? 1 : 0);
    theQuorbSwapApp->LoadConfig();
}

void ProfileManagerDialog::Cancel()
{
    selected = openingRow;
    if (selected == -1 || profiles->GetCount() == 0) {
        if (!AddProfile())
            return;
    }
    profiles->SetCurrent(selected);
    EndModal(0);
}

void ProfileManagerDialog::Initialize()
{
    selected = profiles->GetCurrentIndex();
    rows.clear();
    for (int i = 0; i < profiles->GetCount(); ++i)
        rows.push_back(profiles->GetName(i));
    contentHeight = float(rows.size()) * font.mLineHeight;
    scrollBar.thumbSize = listArea.h * 0.25f;
    scrollBar.SetRect(Rect(listArea.x + listArea.w - 25, listArea.y, 25, listArea.h));
    RemoveChild(&scrollBar);
    if (contentHeight > listArea.h)
        AddChild(&scrollBar);
    ScrollToSelected();
}

float ProfileManagerDialog::RowTop(int row) const
{
    int count = int(rows.size());
    return listArea.y - (contentHeight - listArea.h) * scrollBar.value +
           float(std::min(row, count)) * font.mLineHeight;
}

void ProfileManagerDialog::MouseMove(int x, int y)
{
    hover = -1;
    float lineHeight = font.mLineHeight;
    if (x >= listArea.x && x <= listArea.x + listArea.w && y >= listArea.y && y <= listArea.y + listArea.h) {
        for (int i = 0; i < int(rows.size()); ++i)
            if (RowTop(i) <= y && y <= RowTop(i) + lineHeight) {
                hover = i;
                break;
            }
    }
    if (hover != -1)
        SetHandCursor();
    else
        SetArrowCursor();
}

void ProfileManagerDialog::MouseDown(int x, int y, int button)
{
    if (button != kLeftButton)
        return;
    MouseMove(x, y);
    if (hover != -1) {
        selected = hover;
        ScrollToSelected();
    }
}

void ProfileManagerDialog::MouseExit()
{
    hover = -1;
}

// Only a row of the list can be scrolled to, and never for longer than it
// takes to cross the whole range.
void ProfileManagerDialog::ScrollToSelected()
{
    if (profiles->GetCount() == 0 || selected < 0 || selected >= int(rows.size()))
        return;
    float lineHeight = font.mLineHeight;
    for (int steps = 0; steps < kMaxScrollSteps; ++steps) {
        float top = RowTop(selected);
        if (top + lineHeight > listArea.y + listArea.h && scrollBar.value < 1.0f)
            scrollBar.SetValue(scrollBar.value + kScrollStep);
        else if (top < listArea.y && scrollBar.value > 0.0f)
            scrollBar.SetValue(scrollBar.value - kScrollStep);
        else
            break;
    }
}

void ProfileManagerDialog::DrawList()
{
    float lineHeight = font.mLineHeight;
    theGraphics.PushClip();
    theGraphics.SetClipRect(listArea.x, listArea.y, listArea.w, listArea.h);
    if (hover != -1) {
        theGraphics.SetColor(1.0f, 1.0f, 1.0f, 0.25f);
        theGraphics.FillRect(listArea.x - 2, RowTop(hover) - 2, 1000, lineHeight + 4);
    }
    if (selected != -1) {
        if (selected == hover)
            theGraphics.SetColor(0.15f, 0.35f, 0.15f, 1.0f);
        else
            theGraphics.SetColor(0.0f, 0.25f, 0.0f, 1.0f);
        theGraphics.FillRect(listArea.x - 2, RowTop(selected) - 2, 1000, lineHeight + 4);
    }
    theGraphics.SetColorWhite();
    for (int i = 0; i < int(rows.size()); ++i)
        font.Draw(rows[i], listArea.x, RowTop(i));
    theGraphics.PopClip();
}

void ProfileManagerDialog::Draw()
{
    theGraphics.SetColor(0.0f, 0.0f, 0.0f, 0.85f);
    theGraphics.FillRect(0, 0, kScreenWidth, kScreenHeight);
    theGraphics.SetColorWhite();
    panel.DrawCentered(400, 300);
    DrawList();
    const Color grey(0.5f, 0.5f, 0.5f, 1.0f);
    const Color white(1.0f, 1.0f, 1.0f, 1.0f);
    DialogButton::Draw(createButton, createArt, createButton.disabled ? grey : white);
    DialogButton::Draw(deleteButton, deleteArt, deleteButton.disabled ? grey : white);
    DialogButton::Draw(selectButton, selectArt, selectButton.disabled ? grey : white);
    DialogButton::Draw(cancelButton, cancelArt, cancelButton.disabled ? grey : white);
}
