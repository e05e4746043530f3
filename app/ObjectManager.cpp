#include "app/ObjectManager.h"
