#include "app/Color.h"

#include "support/GeometryExpectations.h"

#include <gtest/gtest.h>

TEST(ColorTest, PaletteIndexWrapsAtTenAndIgnoresNegatives)
{
    Color c(0.1f, 0.2f, 0.3f, 0.4f);
    c.FromPaletteIndex(-1);
    ExpectColor(c, 0.1f, 0.2f, 0.3f, 0.4f);
    c.FromPaletteIndex(13);
    ExpectColor(c, 0, 1, 0, 1);
    c.FromPaletteIndex(24);
    ExpectColor(c, 0, 1, 1, 1);
    c.FromPaletteIndex(1);
    ExpectColor(c, 1, 0.5f, 0, 1);
    c.FromPaletteIndex(9);
    ExpectColor(c, 0.75f, 0.75f, 0.75f, 1);
}

TEST(ColorTest, BrightenRaisesColourChannelsButNotAlphaToTheFloor)
{
    Color c(0.6f, 0.1f, 0.0f, 0.8f);
    Color returned = c.Brighten(0.2f);
    ExpectColor(c, 0.9f, 0.2f, 0.2f, 1.0f);
    ExpectColor(returned, 0.9f, 0.2f, 0.2f, 1.0f);

    Color dim(0, 0, 0, 0);
    dim.Brighten(0.5f);
    ExpectColor(dim, 0.5f, 0.5f, 0.5f, 0);
}

TEST(ColorTest, ClampLimitsACopy)
{
    Color c(-1, 2, 0.5f, 1.5f);
    ExpectColor(c.Clamp(), 0, 1, 0.5f, 1);
    ExpectColor(c, -1, 2, 0.5f, 1.5f);
}
