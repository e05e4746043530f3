// The new-user dialog.
#include "game/AddProfileDialog.h"

#include "app/Graphics.h"
#include "app/ProfileManager.h"
#include "game/DialogButton.h"
#include "game/InfoDialog.h"
#include "game/QuorbSwapApp.h"

AddProfileDialog::AddProfileDialog(ProfileManager* profiles) : profiles(profiles)
{
    QuorbSwapApp* app = theQuorbSwapApp;
    if (app == nullptr || app->IsQuitting())
        return;
    built = true;
    SetFullScreen();
    font.Load("Fonts\\ArialBlack23");
    panel.LoadFromBundle(&app->bundleProfiles, "NewUser");
    createArt.LoadFromBundle(&app->bundleProfiles, "CreateUser", 3);
    cancelArt.LoadFromBundle(&app->bundleProfiles, "Cancel", 3);

    int lineHeight = int(font.mLineHeight);
    nameField.SetRect(223, 261, 363, float(lineHeight + 6));
    nameField.backgroundColor = Color(0.0f, 0.0f, 0.0f, 1.0f);
    nameField.textColor = Color(1.0f, 1.0f, 1.0f, 1.0f);
    nameField.font = &font;
    nameField.margin = 3;
    nameField.caretWidth = 5.0f;
    nameField.caretHeight = float(lineHeight);
    nameField.widthLimitOn = true;
    nameField.widthLimit = 363;
    nameField.lengthLimit = ProfileManager::kMaxNameBytes;
    // Refused as they are typed: they cannot make a profile folder.
    nameField.forbiddenCharacters = ProfileManager::kForbiddenNameCharacters;
    nameField.listener = this;
    AddChild(&nameField);
    nameField.TakeKeyFocus();

    DialogButton::Setup(createButton, this, createArt, 320, 320);
    DialogButton::Setup(cancelButton, this, cancelArt, 460, 320);
    // A first profile must be made.
    if (profiles->GetCount() == 0)
        DialogButton::SetEnabled(cancelButton, false);
    DialogButton::SetEnabled(createButton, false);
    DialogButton::RunModal(this);
}

AddProfileDialog::~AddProfileDialog()
{
    RemoveChild(&nameField);
    RemoveChild(&createButton);
    RemoveChild(&cancelButton);
    if (built)
        profiles->Save();
}

void AddProfileDialog::Update()
{
    DialogButton::SetEnabled(createButton, ProfileManager::IsValidName(nameField.GetText()));
}

void AddProfileDialog::Notify(Object* sender)
{
    if (sender == &cancelButton)
        EndModal(0);
    else if (sender == &createButton || sender == &nameField)
        Create();
}

void AddProfileDialog::Create()
{
    String name = nameField.GetText();
    if (!ProfileManager::IsValidName(name)) {
        // Enter gives the focus away; the field keeps it while open.
        nameField.TakeKeyFocus();
        return;
    }
    if (profiles->Exists(name)) {
        InfoDialog message(InfoDialogKind::Message, "Already Exists!",
                           "This profile name already exists!  Please choose another!");
        nameField.TakeKeyFocus();
        return;
    }
    // A shared file's name is no player's: it names no profile to choose.
    if (profiles->IsSharedFileName(name) || !profiles->Add(name)) {
        InfoDialog message(InfoDialogKind::Message, "Invalid Name!",
                           "This profile name cannot be used!  Please choose another!");
        nameField.TakeKeyFocus();
        return;
    }
    EndModal(1);
}

void AddProfileDialog::Draw()
{
    theGraphics.SetColor(0.0f, 0.0f, 0.0f, 0.85f);
    theGraphics.FillRect(0, 0, kScreenWidth, kScreenHeight);
    theGraphics.SetColorWhite();
    panel.DrawCentered(400, 300);
    DialogButton::Draw(createButton, createArt, Color(1.0f, 1.0f, 1.0f, createButton.disabled ? 0.5f : 1.0f));
    DialogButton::Draw(cancelButton, cancelArt, Color(1.0f, 1.0f, 1.0f, cancelButton.disabled ? 0.5f : 1.0f));
}
