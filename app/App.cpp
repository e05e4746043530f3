#include "app/App.h"

App* theApp = nullptr;
