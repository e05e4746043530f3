#include "app/TextureSplatter.h"

#include "app/App.h"
#include "app/Graphics.h"

#include <algorithm>

// Never destroyed: once registered, destroying it would reach into the
// graphics device's list, and static objects of different files are torn
// down in no fixed order. Graphics::Shutdown has released its pages by then.
TextureSplatter& theTextureSplatter = *new TextureSplatter();

TextureSplatter::~TextureSplatter()
{
    Release();
}

void TextureSplatter::Create(int width, int height)
{
    std::lock_guard<std::recursive_mutex> guard(mLock);
    Release();
    Register();
    mInstance = theApp != nullptr ? theApp->instanceNumber : 0;
    mCreated = false;
    if (!theGraphics.mUseAtlas || width > int(theGraphics.mMaxTextureWidth) ||
        height > int(theGraphics.mMaxTextureHeight)) {
        return;
    }
    mPageWidth = float(width);
    mPageHeight = float(height);
    mCreated = true;
}

void TextureSplatter::AddPageSize(int page, int width, int height)
{
    std::lock_guard<std::recursive_mutex> guard(mLock);
    mPageSizes.push_back(PageSize{page, width, height});
}

bool TextureSplatter::IsValid() const
{
    return mCreated && (theApp == nullptr || theApp->instanceNumber == mInstance);
}

// A page whose texture cannot be made is not kept: it would be a page of
// size zero that later placements divide by.
bool TextureSplatter::AddPage()
{
    if (!IsValid()) {
        return false;
    }
    int width = int(mPageWidth);
    int height = int(mPageHeight);
    for (const PageSize& size : mPageSizes) {
        if (size.page == int(mPages.size())) {
            width = size.width;
            height = size.height;
        }
    }
    auto page = std::make_unique<Page>();
    page->surface.reset(theGraphics.CreateTexture(width, height, &page->desc));
    if (page->surface == nullptr || page->desc.width <= 0 || page->desc.height <= 0) {
        return false;
    }
    page->root.rect = Rect(0, 0, float(width), float(height));
    mPages.push_back(std::move(page));
    return true;
}

bool TextureSplatter::Insert(Node& node, float w, float h)
{
    if (node.first != nullptr) {
        return Insert(*node.first, w, h) || Insert(*node.second, w, h);
    }
    const Rect& r = node.rect;
    if (w > r.w || h > r.h) {
        return false;
    }
    mLastPlace = r;
    node.first = std::make_unique<Node>();
    node.second = std::make_unique<Node>();
    const int dw = int(r.w - w);
    const int dh = int(r.h - h);
    if (dw > dh) {
        node.first->rect = Rect(r.x, r.y + h, w, r.h - h);
        node.second->rect = Rect(r.x + w, r.y, r.w - w, r.h);
    } else {
        node.first->rect = Rect(r.x + w, r.y, r.w - w, h);
        node.second->rect = Rect(r.x, r.y + h, r.w, r.h - h);
    }
    return true;
}

bool TextureSplatter::PlaceInPages(float w, float h, size_t& pageIndex)
{
    for (pageIndex = 0; pageIndex < mPages.size(); ++pageIndex) {
        if (Insert(mPages[pageIndex]->root, w, h)) {
            return true;
        }
    }
    return false;
}

Platform::Surface* TextureSplatter::Add(int w, int h, Rect* uv, Platform::SurfaceDesc* desc)
{
    std::lock_guard<std::recursive_mutex> guard(mLock);
    if (!IsValid()) {
        return nullptr;
    }
    // One pixel of padding right of and below every image.
    const float requestW = float(w + 1);
    const float requestH = float(h + 1);
    size_t index = 0;
    if (!PlaceInPages(requestW, requestH, index) &&
        (!AddPage() || !Insert(mPages.back()->root, requestW, requestH))) {
        return nullptr;
    }
    index = std::min(index, mPages.size() - 1);
    const Page& page = *mPages[index];
    const float pageW = float(page.desc.width);
    const float pageH = float(page.desc.height);
    const float x = mLastPlace.x;
    const float y = mLastPlace.y;
    if (uv != nullptr) {
        *uv = Rect(x / pageW, y / pageH, (x + float(w)) / pageW, (y + float(h)) / pageH);
    }
    if (desc != nullptr) {
        *desc = page.desc;
    }
    return page.surface.get();
}

void TextureSplatter::Release()
{
    std::lock_guard<std::recursive_mutex> guard(mLock);
    if (!mCreated) {
        return;
    }
    mPages.clear();
    mPageSizes.clear();
    mCreated = false;
}
