#include "app/RunApplication.h"

#include "app/App.h"
#include "platform/Folders.h"
#include "platform/Shell.h"

int RunApplication(int argc, const char* const* argv, const AppFactory& createApp)
{
    Platform::Shell::SetArguments(argc, argv);
    Platform::Shell::SetWorkingFolder(Platform::Folders::Program());
    bool again = false;
    int status = 0;
    do {
        App* app = createApp();
        app->Initialize();
        app->Go();
        app->Quit();
        // Read before the object goes.
        again = app->restart;
        status = app->exitStatus;
        delete app;
    } while (again);
    return status;
}
