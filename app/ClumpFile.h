#pragma once

#include "app/String.h"

class FXImage;
class Image;

#include <vector>

// A sprite clump description: a large sprite assembled from rectangular
// parts of one image. "CLUMP" tags hold a "SIZE" (width, height) and "RECT"
// parts (x, y, w, h); parts are numbered from 0 within each CLUMP tag.
class ClumpFile
{
  public:
    struct Part
    {
        int number = 0;
        int x = 0;
        int y = 0;
        int w = 0;
        int h = 0;

        // Cuts the part to an image of that size (rectangles from a file may
        // reach outside it); false when nothing is left.
        bool ClipTo(int imageWidth, int imageHeight);
        // The part's pixels of the whole image with the one-pixel edge bleed
        // that keeps filtering from pulling in neighbours; false (nothing
        // cut) when the part lies outside the image.
        bool Cut(const Image& whole, FXImage& piece);
    };

    // False when the file cannot be read.
    bool Load(const String& path);
    void Parse(const char* text);

    bool hasSize = false;
    int width = 0;
    int height = 0;
    std::vector<Part> parts;

  private:
    void ParseClump(const String& content);
};
