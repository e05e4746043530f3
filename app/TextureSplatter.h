#pragma once

#include "app/GraphicDevice.h"
#include "app/Rect.h"
#include "platform/Display.h"

#include <memory>
#include <mutex>
#include <vector>

// The texture atlas: many small images packed into a few large pages, each
// page split by a binary tree of free rectangles. While Graphics has an
// active atlas, every texture made asks it for room first.
class TextureSplatter : public GraphicDevice
{
  public:
    TextureSplatter() = default;
    ~TextureSplatter() override;

    // (Re)builds the atlas for pages of that size; pages come on demand.
    void Create(int width, int height);
    // Page number "page", when it is made, gets this size instead.
    void AddPageSize(int page, int width, int height);
    // Created, and made for the running application object.
    bool IsValid() const;
    // The page surface that now holds a w x h image, or null. uv receives
    // left, top, right, bottom as fractions of the page; desc the page's
    // surface description.
    Platform::Surface* Add(int w, int h, Rect* uv, Platform::SurfaceDesc* desc);
    void Release() override;

    // A used node holds one image at its top-left; its children cover the rest.
    struct Node
    {
        Rect rect;
        std::unique_ptr<Node> first;
        std::unique_ptr<Node> second;
    };
    struct Page
    {
        std::unique_ptr<Platform::Surface> surface;
        Platform::SurfaceDesc desc;
        Node root;
    };
    struct PageSize
    {
        int page;
        int width;
        int height;
    };

    bool Insert(Node& node, float w, float h);
    int PageCount() const { return int(mPages.size()); }
    const Page& GetPage(int index) const { return *mPages[size_t(index)]; }

    Rect mLastPlace;
    float mPageWidth = 0.0f;
    float mPageHeight = 0.0f;
    bool mCreated = false;
    int mInstance = 0;

  private:
    bool AddPage();
    bool PlaceInPages(float w, float h, size_t& pageIndex);

    std::vector<std::unique_ptr<Page>> mPages;
    std::vector<PageSize> mPageSizes;
    // The loader thread and the main thread may both place images.
    std::recursive_mutex mLock;
};

// The shared atlas of the script-form fonts; it outlives application restarts.
extern TextureSplatter& theTextureSplatter;
