#pragma once

#include <functional>

class App;

// Makes a new application object (which sets theApp).
using AppFactory = std::function<App*()>;

// What the program's entry point runs. Keeps the command line, changes into
// the program's own folder (every asset path is relative to it), then builds,
// initialises and runs an application, asks it to quit and deletes it, and
// does all of that again while the application asked for a restart. Returns
// the process exit status.
int RunApplication(int argc, const char* const* argv, const AppFactory& createApp);
