#pragma once
// The scroll bar of the profile list.

#include "game/Scrollbar.h"

class ProfileScrollbar : public Scrollbar
{
};
