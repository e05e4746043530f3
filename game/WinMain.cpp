// The program's entry point: the game application, built again after a
// restart request.
#include "app/RunApplication.h"
#include "game/QuorbSwapApp.h"

int main(int argc, char** argv)
{
    return RunApplication(argc, argv, [] { return new QuorbSwapApp(); });
}
