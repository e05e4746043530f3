#pragma once

#include "app/Graphics.h"

#include <gtest/gtest.h>

// Atlas tests start from a clean render state with the atlas on and pages
// up to 4096x4096, and leave the state clean for the next test.
class AtlasGraphicsTest : public testing::Test
{
  protected:
    void SetUp() override
    {
        theGraphics.ResetState();
        theGraphics.mUseAtlas = true;
        theGraphics.mMaxTextureWidth = 4096;
        theGraphics.mMaxTextureHeight = 4096;
    }
    void TearDown() override { theGraphics.ResetState(); }
};
