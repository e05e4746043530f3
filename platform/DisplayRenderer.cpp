#include "platform/Display.h"
#include "platform/FrameCopy.h"
#include "platform/SoftwareGeometry.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_map>

namespace Platform {

namespace {
// The largest texture side we admit to when the driver names no limit.
constexpr int kDefaultTextureLimit = 4096;
// What we report as video memory when the driver cannot tell.
constexpr int kAssumedVideoMemoryMB = 256;

struct UploadedTexture
{
    SDL_Texture* texture = nullptr;
    SDL_Texture* white = nullptr; // RGB 255, the texture's alpha: for colour fill
    uint32_t version = 0;
    uint32_t whiteVersion = 0;
};

Uint32 SdlFormatOf(const PixelFormat& format)
{
    if (format == PixelFormat::ARGB8888()) {
        return SDL_PIXELFORMAT_ARGB8888;
    }
    if (format == PixelFormat::XRGB8888()) {
        return SDL_PIXELFORMAT_RGB888;
    }
    if (format == PixelFormat::RGB565()) {
        return SDL_PIXELFORMAT_RGB565;
    }
    if (format == PixelFormat::RGB555()) {
        return SDL_PIXELFORMAT_RGB555;
    }
    return SDL_PIXELFORMAT_UNKNOWN;
}

SDL_BlendMode SdlBlendOf(BlendMode mode)
{
    switch (mode) {
    case BlendMode::Normal:
        return SDL_BLENDMODE_BLEND;
    case BlendMode::Additive:
        return SDL_BLENDMODE_ADD;
    default:
        return SDL_BLENDMODE_NONE;
    }
}

SDL_Color SdlColorOf(uint32_t argb)
{
    return SDL_Color{static_cast<Uint8>(argb >> 16), static_cast<Uint8>(argb >> 8), static_cast<Uint8>(argb),
                     static_cast<Uint8>(argb >> 24)};
}

// A copy of the surface as 0xAARRGGBB words; white keeps only the alpha.
std::vector<uint32_t> ToArgb(const Surface& surface, bool white)
{
    std::vector<uint32_t> out(static_cast<size_t>(surface.GetWidth()) * surface.GetHeight());
    size_t i = 0;
    for (int y = 0; y < surface.GetHeight(); ++y) {
        for (int x = 0; x < surface.GetWidth(); ++x) {
            const uint32_t argb = surface.GetPixel(x, y);
            out[i++] = white ? (argb | 0x00FFFFFF) : argb;
        }
    }
    return out;
}

void AppendFnv(uint64_t& hash, const std::string& text)
{
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    hash ^= 0xFF;
    hash *= 1099511628211ull;
}

// Substrings, in lower case, of the names of rasterisers that run on the
// processor, however the driver reports itself.
constexpr const char* kSoftwareRasterizers[] = {"llvmpipe", "softpipe", "swiftshader", "software"};

std::string GlString(unsigned int name)
{
    using GetString = const unsigned char* (*)(unsigned int);
    auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const unsigned char* text = getString ? getString(name) : nullptr;
    return text ? reinterpret_cast<const char*>(text) : "";
}

} // namespace

struct Renderer::Impl
{
    SDL_Renderer* renderer = nullptr;
    SDL_Surface* output = nullptr; // the memory the window-free renderer draws into
    SDL_Texture* backBuffer = nullptr;
    int backWidth = 0;
    int backHeight = 0;
    SDL_Texture* frame = nullptr; // the software path's streaming texture, XRGB8888
    int frameWidth = 0;
    int frameHeight = 0;
    // Without graphics hardware under the window, software frames go to the
    // window's own surface: through the renderer they would cost a 3D
    // pipeline run on the processor. A window that has no surface (on a
    // desktop of a layout SDL cannot name, deep colour above all) shows
    // them through the renderer all the same.
    SDL_Window* window = nullptr;
    bool toWindowSurface = false;
    bool shownOnSurface = false; // the last frame went to the window's surface
    std::string noSurface;       // why the window has none, once it was refused
    bool failureTold = false;    // frames that cannot be shown are said so once
    FrameChanges changes;        // what the next frame changes on the window's surface
    FrameStretch stretch;        // a frame of another size than the window, scaled
    // Where the last frame went: the window's surface holds it there unless
    // the window was resized, uncovered or shown again since.
    SDL_Surface* shownTarget = nullptr;
    void* shownPixels = nullptr;
    SDL_Rect shownPlace{};
    std::atomic<bool> windowDisturbed{false};
    std::vector<SDL_Rect> bands;
    // The frame as placed on a window of another layout than XRGB8888, in
    // XRGB8888: rewritten where the frame changed, then narrowed by SDL.
    std::vector<uint32_t> mirror;

    std::unordered_map<uint32_t, UploadedTexture> textures;
    SDL_Texture* current = nullptr;
    BlendMode blend = BlendMode::Normal;
    bool linear = true;

    std::atomic<bool> targetsLost{false};
    std::atomic<bool> texturesLost{false};
    std::vector<uint32_t> forgotten; // guarded by LiveRenderers().mutex

    std::vector<SDL_Vertex> vertices;
    std::vector<int> indices;
    bool softwareRaster = false; // SDL's own rasteriser: large triangles are cut first
    std::vector<SDL_Vertex> cut;

    ~Impl();
    void DropTexture(UploadedTexture& entry);
    void DropAllTextures();
    void DrainForgotten();
    SDL_Texture* Upload(const Surface& surface, bool white);
    void Draw(const RenderVertex* source, int count);
    bool ShowThroughTexture(const Surface& frame);
    bool ShowSoftwareFrame(const Surface& frame);
    bool ShowOnWindowSurface(const Surface& frame, SDL_Surface* target);
    void TellFailure();
    bool HoldsLastFrame(SDL_Surface* target, const SDL_Rect& place);
    bool WriteToWindowSurface(const Surface& frame, SDL_Surface* target, const SDL_Rect& place);
    const std::vector<RowSpan>& WriteChanges(const Surface& frame, uint8_t* at, int pitch,
                                             const SDL_Rect& place);
    void PlaceBands(const std::vector<RowSpan>& written, const SDL_Rect& place);
    bool NarrowBands(SDL_Surface* target, const SDL_Rect& place) const;
    bool HandToWindow(bool whole);
    bool ReadWindowSurface(Surface& whole);
};

namespace {
struct LiveRendererList
{
    std::mutex mutex;
    std::vector<Renderer::Impl*> list;
};

LiveRendererList& LiveRenderers()
{
    static LiveRendererList live;
    return live;
}

int WatchDeviceEvents(void* userdata, SDL_Event* event)
{
    auto* impl = static_cast<Renderer::Impl*>(userdata);
    if (event->type == SDL_RENDER_TARGETS_RESET) {
        impl->targetsLost = true;
    } else if (event->type == SDL_RENDER_DEVICE_RESET) {
        impl->targetsLost = true;
        impl->texturesLost = true;
    } else if (event->type == SDL_WINDOWEVENT && impl->window &&
               event->window.windowID == SDL_GetWindowID(impl->window)) {
        switch (event->window.event) {
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_RESIZED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
        case SDL_WINDOWEVENT_MAXIMIZED:
        case SDL_WINDOWEVENT_RESTORED:
            impl->windowDisturbed = true;
            break;
        default:
            break;
        }
    }
    return 0;
}

std::unique_ptr<Renderer::Impl> StartImpl(SDL_Renderer* renderer, SDL_Surface* output)
{
    auto impl = std::make_unique<Renderer::Impl>();
    impl->renderer = renderer;
    impl->output = output;
    SDL_RendererInfo info;
    impl->softwareRaster = SDL_GetRendererInfo(renderer, &info) == 0 && info.name &&
                           std::strcmp(info.name, "software") == 0;
    {
        std::lock_guard<std::mutex> lock(LiveRenderers().mutex);
        LiveRenderers().list.push_back(impl.get());
    }
    SDL_AddEventWatch(WatchDeviceEvents, impl.get());
    return impl;
}
} // namespace

Renderer::Impl::~Impl()
{
    SDL_DelEventWatch(WatchDeviceEvents, this);
    {
        std::lock_guard<std::mutex> lock(LiveRenderers().mutex);
        auto& list = LiveRenderers().list;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    DropAllTextures();
    if (frame) {
        SDL_DestroyTexture(frame);
    }
    if (backBuffer) {
        SDL_DestroyTexture(backBuffer);
    }
    if (renderer) {
        SDL_DestroyRenderer(renderer);
    }
    if (output) {
        SDL_FreeSurface(output);
    }
}

void Renderer::Impl::DropTexture(UploadedTexture& entry)
{
    if (entry.texture == current || entry.white == current) {
        current = nullptr;
    }
    if (entry.texture) {
        SDL_DestroyTexture(entry.texture);
    }
    if (entry.white) {
        SDL_DestroyTexture(entry.white);
    }
    entry = UploadedTexture{};
}

void Renderer::Impl::DropAllTextures()
{
    for (auto& [id, entry] : textures) {
        DropTexture(entry);
    }
    textures.clear();
}

void Renderer::Impl::DrainForgotten()
{
    std::vector<uint32_t> ids;
    {
        std::lock_guard<std::mutex> lock(LiveRenderers().mutex);
        ids.swap(forgotten);
    }
    for (uint32_t id : ids) {
        auto found = textures.find(id);
        if (found != textures.end()) {
            DropTexture(found->second);
            textures.erase(found);
        }
    }
}

SDL_Texture* Renderer::Impl::Upload(const Surface& surface, bool white)
{
    if (surface.GetWidth() <= 0 || surface.GetHeight() <= 0) {
        return nullptr;
    }
    UploadedTexture& entry = textures[surface.GetId()];
    const_cast<Surface&>(surface).mUploaded = true;
    const uint32_t version = surface.GetVersion();
    SDL_Texture*& texture = white ? entry.white : entry.texture;
    uint32_t& uploaded = white ? entry.whiteVersion : entry.version;
    if (texture && uploaded == version) {
        return texture;
    }
    const Uint32 format = white ? Uint32{SDL_PIXELFORMAT_UNKNOWN} : SdlFormatOf(surface.GetFormat());
    if (!texture) {
        const Uint32 made = format == SDL_PIXELFORMAT_UNKNOWN ? Uint32{SDL_PIXELFORMAT_ARGB8888} : format;
        texture = SDL_CreateTexture(renderer, made, SDL_TEXTUREACCESS_STREAMING, surface.GetWidth(),
                                    surface.GetHeight());
        if (!texture) {
            return nullptr;
        }
    }
    if (format != SDL_PIXELFORMAT_UNKNOWN) {
        SDL_UpdateTexture(texture, nullptr, surface.GetPixels(), surface.GetPitch());
    } else {
        const std::vector<uint32_t> argb = ToArgb(surface, white);
        SDL_UpdateTexture(texture, nullptr, argb.data(), surface.GetWidth() * 4);
    }
    uploaded = version;
    return texture;
}

void Renderer::Impl::Draw(const RenderVertex* source, int count)
{
    vertices.resize(count);
    for (int i = 0; i < count; ++i) {
        // Our callers put pixel centres on whole coordinates, as the device
        // the framework was written for did; SDL puts them half a pixel on.
        vertices[i].position = SDL_FPoint{source[i].x + 0.5f, source[i].y + 0.5f};
        vertices[i].color = SdlColorOf(source[i].color);
        // SDL refuses the whole draw over one coordinate outside the
        // texture, and intersections and clipping miss 0 or 1 by a rounding
        // step; the renderer clamps anyway.
        vertices[i].tex_coord =
            SDL_FPoint{std::clamp(source[i].u, 0.0f, 1.0f), std::clamp(source[i].v, 0.0f, 1.0f)};
    }
    if (current) {
        SDL_SetTextureBlendMode(current, SdlBlendOf(blend));
        SDL_SetTextureScaleMode(current, linear ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
    } else {
        SDL_SetRenderDrawBlendMode(renderer, SdlBlendOf(blend));
    }
    if (!softwareRaster) {
        SDL_RenderGeometry(renderer, current, vertices.data(), count, indices.data(),
                           static_cast<int>(indices.size()));
        return;
    }
    int textureWidth = 1;
    int textureHeight = 1;
    if (current) {
        SDL_QueryTexture(current, nullptr, nullptr, &textureWidth, &textureHeight);
    }
    CutForSoftwareRaster(vertices.data(), indices.data(), static_cast<int>(indices.size()),
                         std::max(textureWidth, textureHeight), backWidth, backHeight, cut);
    for (int first = 0; first < static_cast<int>(cut.size());) {
        const int end = SafeBatchEnd(cut, first);
        SDL_RenderGeometry(renderer, current, cut.data() + first, end - first, nullptr, 0);
        first = end;
    }
}

Renderer::Renderer(std::unique_ptr<Impl> impl) : mImpl(std::move(impl)) {}

Renderer::~Renderer() = default;

std::unique_ptr<Renderer> Renderer::CreateForWindow(NativeWindow* window, bool vsync)
{
    if (!window) {
        return nullptr;
    }
    Uint32 flags = SDL_RENDERER_TARGETTEXTURE;
    if (vsync) {
        flags |= SDL_RENDERER_PRESENTVSYNC;
    }
    // The window system's own image transfer for the window's surface: SDL
    // would otherwise make it a texture of a renderer again. Asked for
    // before the renderer is made, since SDL's own software renderer takes
    // the window's surface as it starts; a hardware renderer never uses it.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_Window* sdlWindow = reinterpret_cast<SDL_Window*>(window);
    SDL_Renderer* renderer = SDL_CreateRenderer(sdlWindow, -1, flags);
    if (!renderer) {
        return nullptr;
    }
    std::unique_ptr<Renderer> made(new Renderer(StartImpl(renderer, nullptr)));
    made->mImpl->window = sdlWindow;
    made->mImpl->toWindowSurface = !made->GetAdapterInfo().hardware;
    return made;
}

std::unique_ptr<Renderer> Renderer::CreateOffscreen(int width, int height)
{
    SDL_Surface* output = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!output) {
        return nullptr;
    }
    SDL_Renderer* renderer = SDL_CreateSoftwareRenderer(output);
    if (!renderer) {
        SDL_FreeSurface(output);
        return nullptr;
    }
    return std::unique_ptr<Renderer>(new Renderer(StartImpl(renderer, output)));
}

void Renderer::ForgetSurface(uint32_t id)
{
    std::lock_guard<std::mutex> lock(LiveRenderers().mutex);
    for (Impl* impl : LiveRenderers().list) {
        impl->forgotten.push_back(id);
    }
}

bool NamesSoftwareRasterizer(const std::string& text)
{
    std::string lower = text;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return std::any_of(std::begin(kSoftwareRasterizers), std::end(kSoftwareRasterizers),
                       [&lower](const char* name) { return lower.find(name) != std::string::npos; });
}

AdapterInfo Renderer::GetAdapterInfo() const
{
    AdapterInfo info;
    SDL_RendererInfo sdl;
    bool accelerated = false;
    if (SDL_GetRendererInfo(mImpl->renderer, &sdl) == 0) {
        info.name = sdl.name ? sdl.name : "";
        info.maxTextureWidth = sdl.max_texture_width;
        info.maxTextureHeight = sdl.max_texture_height;
        accelerated = (sdl.flags & SDL_RENDERER_ACCELERATED) != 0;
    }
    if (info.name.rfind("opengl", 0) == 0) {
        constexpr unsigned int kVendor = 0x1F00, kRenderer = 0x1F01, kVersion = 0x1F02;
        info.vendor = GlString(kVendor);
        info.renderer = GlString(kRenderer);
        info.version = GlString(kVersion);
    }
    info.hardware = mImpl->output != nullptr || (accelerated && !NamesSoftwareRasterizer(info.name) &&
                                                 !NamesSoftwareRasterizer(info.renderer));
    if (info.version.empty()) {
        SDL_version linked;
        SDL_GetVersion(&linked);
        info.version = "SDL " + std::to_string(linked.major) + "." + std::to_string(linked.minor) + "." +
                       std::to_string(linked.patch);
    }
    // SDL's own software renderer names no limit at all.
    if (info.maxTextureWidth <= 0) {
        info.maxTextureWidth = kDefaultTextureLimit;
    }
    if (info.maxTextureHeight <= 0) {
        info.maxTextureHeight = kDefaultTextureLimit;
    }
    info.videoMemoryMB = kAssumedVideoMemoryMB;
    uint64_t first = 14695981039346656037ull;
    uint64_t second = 0x84222325cbf29ce4ull;
    for (const std::string* text : {&info.name, &info.vendor, &info.renderer, &info.version}) {
        AppendFnv(first, *text);
        AppendFnv(second, *text);
    }
    std::memcpy(info.cardId, &first, 8);
    std::memcpy(info.cardId + 8, &second, 8);
    return info;
}

uint64_t Renderer::GetUploadedBytes() const
{
    uint64_t bytes = 0;
    for (const auto& [id, entry] : mImpl->textures) {
        for (SDL_Texture* texture : {entry.texture, entry.white}) {
            int w = 0;
            int h = 0;
            if (texture && SDL_QueryTexture(texture, nullptr, nullptr, &w, &h) == 0) {
                bytes += static_cast<uint64_t>(w) * h * 4;
            }
        }
    }
    return bytes;
}

bool Renderer::SetVSync(bool on)
{
    return SDL_RenderSetVSync(mImpl->renderer, on ? 1 : 0) == 0;
}

bool Renderer::CreateBackBuffer(int width, int height)
{
    ReleaseBackBuffer();
    mImpl->backBuffer =
        SDL_CreateTexture(mImpl->renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, width, height);
    if (!mImpl->backBuffer) {
        return false;
    }
    mImpl->backWidth = width;
    mImpl->backHeight = height;
    SDL_SetTextureBlendMode(mImpl->backBuffer, SDL_BLENDMODE_NONE);
    return true;
}

void Renderer::ReleaseBackBuffer()
{
    if (mImpl->backBuffer) {
        SDL_SetRenderTarget(mImpl->renderer, nullptr);
        SDL_DestroyTexture(mImpl->backBuffer);
        mImpl->backBuffer = nullptr;
    }
}

bool Renderer::BeginFrame()
{
    if (!mImpl->backBuffer || mImpl->targetsLost) {
        return false;
    }
    mImpl->DrainForgotten();
    return SDL_SetRenderTarget(mImpl->renderer, mImpl->backBuffer) == 0;
}

void Renderer::Clear(uint32_t argb)
{
    const SDL_Color c = SdlColorOf(argb);
    SDL_SetRenderDrawColor(mImpl->renderer, c.r, c.g, c.b, c.a);
    SDL_SetRenderDrawBlendMode(mImpl->renderer, SDL_BLENDMODE_NONE);
    SDL_RenderClear(mImpl->renderer);
}

void Renderer::SetBlendMode(BlendMode mode)
{
    mImpl->blend = mode;
}

void Renderer::SetLinearFiltering(bool linear)
{
    mImpl->linear = linear;
}

void Renderer::SetTexture(const Surface* texture, bool colorFill)
{
    mImpl->current = texture ? mImpl->Upload(*texture, colorFill) : nullptr;
}

void Renderer::DrawTriangleList(const RenderVertex* vertices, int count)
{
    if (count < 3) {
        return;
    }
    mImpl->indices.clear();
    for (int i = 0; i + 2 < count; i += 3) {
        mImpl->indices.insert(mImpl->indices.end(), {i, i + 1, i + 2});
    }
    mImpl->Draw(vertices, count);
}

void Renderer::DrawTriangleStrip(const RenderVertex* vertices, int count)
{
    if (count < 3) {
        return;
    }
    mImpl->indices.clear();
    for (int i = 0; i + 2 < count; ++i) {
        mImpl->indices.insert(mImpl->indices.end(), {i, i + 1, i + 2});
    }
    mImpl->Draw(vertices, count);
}

void Renderer::DrawTriangleFan(const RenderVertex* vertices, int count)
{
    if (count < 3) {
        return;
    }
    mImpl->indices.clear();
    for (int i = 1; i + 1 < count; ++i) {
        mImpl->indices.insert(mImpl->indices.end(), {0, i, i + 1});
    }
    mImpl->Draw(vertices, count);
}

namespace {
// The frame fills the output as far as its shape allows, centred between
// black bars. The logical size also makes the renderer report pointer
// positions in frame pixels, wherever the frame lies in the window.
bool ShowTexture(SDL_Renderer* renderer, SDL_Texture* texture, int width, int height)
{
    SDL_SetRenderTarget(renderer, nullptr);
    SDL_RenderSetLogicalSize(renderer, width, height);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_NONE);
    SDL_RenderClear(renderer);
    int outputWidth = 0;
    int outputHeight = 0;
    SDL_GetRendererOutputSize(renderer, &outputWidth, &outputHeight);
    const bool sameSize = outputWidth == width && outputHeight == height;
    SDL_SetTextureScaleMode(texture, sameSize ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_NONE);
    const bool copied = SDL_RenderCopy(renderer, texture, nullptr, nullptr) == 0;
    SDL_RenderPresent(renderer);
    return copied;
}
} // namespace

void Renderer::Blit(const Surface& surface, int x, int y)
{
    SDL_Texture* texture = mImpl->Upload(surface, false);
    if (!texture) {
        return;
    }
    const SDL_Rect target{x, y, surface.GetWidth(), surface.GetHeight()};
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_NONE);
    SDL_SetTextureScaleMode(texture, SDL_ScaleModeNearest);
    SDL_RenderCopy(mImpl->renderer, texture, nullptr, &target);
    mImpl->current = nullptr;
}

bool Renderer::PresentBackBuffer()
{
    if (!mImpl->backBuffer || mImpl->targetsLost) {
        return false;
    }
    mImpl->shownOnSurface = false;
    return ShowTexture(mImpl->renderer, mImpl->backBuffer, mImpl->backWidth, mImpl->backHeight);
}

bool Renderer::ReadBackBuffer(Surface& out)
{
    if (!mImpl->backBuffer) {
        return false;
    }
    SDL_Texture* previous = SDL_GetRenderTarget(mImpl->renderer);
    SDL_SetRenderTarget(mImpl->renderer, mImpl->backBuffer);
    Surface whole(mImpl->backWidth, mImpl->backHeight, PixelFormat::ARGB8888());
    const bool read = SDL_RenderReadPixels(mImpl->renderer, nullptr, SDL_PIXELFORMAT_ARGB8888,
                                           whole.GetPixels(), whole.GetPitch()) == 0;
    SDL_SetRenderTarget(mImpl->renderer, previous);
    if (read) {
        out.CopyFrom(whole);
    }
    return read;
}

bool Renderer::Impl::ShowThroughTexture(const Surface& frame)
{
    if (!this->frame || frameWidth != frame.GetWidth() || frameHeight != frame.GetHeight()) {
        if (this->frame) {
            SDL_DestroyTexture(this->frame);
        }
        this->frame = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                        frame.GetWidth(), frame.GetHeight());
        if (!this->frame) {
            return false;
        }
        frameWidth = frame.GetWidth();
        frameHeight = frame.GetHeight();
    }
    void* pixels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(this->frame, nullptr, &pixels, &pitch) != 0) {
        return false;
    }
    CopyFrameToXrgb(frame, static_cast<uint8_t*>(pixels), pitch);
    SDL_UnlockTexture(this->frame);
    return ShowTexture(renderer, this->frame, frame.GetWidth(), frame.GetHeight());
}

namespace {
// Where a frame of another size lands in the output: scaled to fit, centred
// between black bars, as the renderer places it for its logical size (so
// pointer positions in frame pixels hold either way).
SDL_Rect FitInto(int width, int height, int outputWidth, int outputHeight)
{
    const float want = static_cast<float>(width) / static_cast<float>(height);
    const float real = static_cast<float>(outputWidth) / static_cast<float>(outputHeight);
    if (std::abs(want - real) < 0.0001f) {
        return SDL_Rect{0, 0, outputWidth, outputHeight};
    }
    if (want > real) {
        const int h = static_cast<int>(std::floor(static_cast<float>(height) * outputWidth / width));
        return SDL_Rect{0, (outputHeight - h) / 2, outputWidth, h};
    }
    const int w = static_cast<int>(std::floor(static_cast<float>(width) * outputHeight / height));
    return SDL_Rect{(outputWidth - w) / 2, 0, w, outputHeight};
}

// The layout frames are written in directly. A window of ARGB8888 (a 32-bit
// visual, on a deep-colour desktop) takes them narrowed as any other layout
// does, which makes them opaque: to a compositing window manager its fourth
// byte is the window's alpha.
bool IsXrgbLayout(Uint32 format)
{
    return format == SDL_PIXELFORMAT_RGB888;
}

// Black outside the frame's place.
void FillBars(SDL_Surface* target, const SDL_Rect& place)
{
    const SDL_Rect bars[] = {
        {0, 0, target->w, place.y},
        {0, place.y + place.h, target->w, target->h - place.y - place.h},
        {0, place.y, place.x, place.h},
        {place.x + place.w, place.y, target->w - place.x - place.w, place.h},
    };
    SDL_FillRects(target, bars, 4, SDL_MapRGB(target->format, 0, 0, 0));
}
} // namespace

bool Renderer::Impl::HoldsLastFrame(SDL_Surface* target, const SDL_Rect& place)
{
    const bool holds = !windowDisturbed.exchange(false) && target == shownTarget && target->pixels == shownPixels &&
                       SDL_RectEquals(&place, &shownPlace);
    shownTarget = target;
    shownPixels = target->pixels;
    shownPlace = place;
    return holds;
}

// The rows written, as few rectangles of the window: each run of written
// rows with the columns of all of them.
void Renderer::Impl::PlaceBands(const std::vector<RowSpan>& written, const SDL_Rect& place)
{
    bands.clear();
    const int rows = static_cast<int>(written.size());
    for (int y = 0; y < rows;) {
        if (written[y].Empty()) {
            ++y;
            continue;
        }
        const int first = y;
        RowSpan columns = written[y];
        while (++y < rows && !written[y].Empty()) {
            columns = columns.Union(written[y]);
        }
        bands.push_back({place.x + columns.begin, place.y + first, columns.end - columns.begin, y - first});
    }
}

// The frame's changes as XRGB8888 at `at`, copied or scaled to the place's
// size; gives the rows written, in the place's pixels.
const std::vector<RowSpan>& Renderer::Impl::WriteChanges(const Surface& frame, uint8_t* at, int pitch,
                                                         const SDL_Rect& place)
{
    if (place.w != frame.GetWidth() || place.h != frame.GetHeight()) {
        return stretch.Run(frame, changes, at, pitch, place.w, place.h);
    }
    CopyChangesToXrgb(frame, changes, at, pitch);
    return changes.Rows();
}

// The bands from the mirror into the window's layout, narrowed as SDL
// converts (a 16-bit desktop keeps the top bits of each channel).
bool Renderer::Impl::NarrowBands(SDL_Surface* target, const SDL_Rect& place) const
{
    const int mirrorPitch = place.w * 4;
    for (const SDL_Rect& band : bands) {
        const uint8_t* from = reinterpret_cast<const uint8_t*>(mirror.data()) +
                              static_cast<size_t>(band.y - place.y) * mirrorPitch + (band.x - place.x) * 4;
        uint8_t* to = static_cast<uint8_t*>(target->pixels) + static_cast<size_t>(band.y) * target->pitch +
                      band.x * target->format->BytesPerPixel;
        if (SDL_ConvertPixels(band.w, band.h, SDL_PIXELFORMAT_RGB888, from, mirrorPitch,
                              target->format->format, to, target->pitch) != 0) {
            return false;
        }
    }
    return true;
}

// Only what changed is widened, scaled and handed on, whatever the window's
// layout: a 16-bit desktop (remote sessions, small machines) is where the
// software renderer runs most, and a whole frame each time costs more than
// drawing it.
bool Renderer::Impl::WriteToWindowSurface(const Surface& frame, SDL_Surface* target, const SDL_Rect& place)
{
    if (IsXrgbLayout(target->format->format)) {
        uint8_t* at = static_cast<uint8_t*>(target->pixels) + place.y * target->pitch + place.x * 4;
        PlaceBands(WriteChanges(frame, at, target->pitch, place), place);
        return true;
    }
    mirror.resize(static_cast<size_t>(place.w) * place.h);
    PlaceBands(WriteChanges(frame, reinterpret_cast<uint8_t*>(mirror.data()), place.w * 4, place), place);
    return NarrowBands(target, place);
}

// The bands written, or the whole surface, bars and all.
bool Renderer::Impl::HandToWindow(bool whole)
{
    if (whole) {
        return SDL_UpdateWindowSurface(window) == 0;
    }
    return bands.empty() || SDL_UpdateWindowSurfaceRects(window, bands.data(), static_cast<int>(bands.size())) == 0;
}

bool Renderer::Impl::ShowOnWindowSurface(const Surface& frame, SDL_Surface* target)
{
    const int width = frame.GetWidth();
    const int height = frame.GetHeight();
    int logicalWidth = 0;
    int logicalHeight = 0;
    SDL_RenderGetLogicalSize(renderer, &logicalWidth, &logicalHeight);
    if (logicalWidth != width || logicalHeight != height) {
        SDL_RenderSetLogicalSize(renderer, width, height);
    }
    const SDL_Rect place = FitInto(width, height, target->w, target->h);
    const bool holds = HoldsLastFrame(target, place);
    if (!holds) {
        FillBars(target, place);
        changes.Forget();
    }
    changes.Take(frame);
    if (SDL_LockSurface(target) != 0) {
        shownTarget = nullptr;
        return false;
    }
    const bool written = WriteToWindowSurface(frame, target, place);
    SDL_UnlockSurface(target);
    const bool handed = written && HandToWindow(!holds);
    if (!handed) {
        shownTarget = nullptr; // the window may lack any part: all of the next frame goes
    }
    return handed;
}

bool Renderer::Impl::ShowSoftwareFrame(const Surface& frame)
{
    if (toWindowSurface) {
        if (SDL_Surface* target = SDL_GetWindowSurface(window)) {
            shownOnSurface = true;
            return ShowOnWindowSurface(frame, target);
        }
        // The window system would not give one now, nor later.
        noSurface = SDL_GetError();
        toWindowSurface = false;
        std::fprintf(stderr,
                     "WARNING: the game's window has no surface (%s): its frames go through the renderer, "
                     "on the processor\n",
                     noSurface.c_str());
    }
    shownOnSurface = false;
    if (ShowThroughTexture(frame)) {
        return true;
    }
    TellFailure();
    return false;
}

// A game that shows nothing says why, once: the player would see a black
// window, or none, and nothing else.
void Renderer::Impl::TellFailure()
{
    if (failureTold) {
        return;
    }
    failureTold = true;
    std::string why = SDL_GetError();
    if (!noSurface.empty()) {
        why = "it has no surface (" + noSurface + "), and its renderer: " + why;
    }
    std::fprintf(stderr, "The game's frames cannot be shown in its window: %s\n", why.c_str());
}

bool Renderer::Impl::ReadWindowSurface(Surface& whole)
{
    SDL_Surface* target = SDL_GetWindowSurface(window);
    if (!target || target->w != whole.GetWidth() || target->h != whole.GetHeight()) {
        return false;
    }
    return SDL_ConvertPixels(target->w, target->h, target->format->format, target->pixels, target->pitch,
                             SDL_PIXELFORMAT_ARGB8888, whole.GetPixels(), whole.GetPitch()) == 0;
}

bool Renderer::PresentSurface(const Surface& frame)
{
    mImpl->DrainForgotten();
    const PixelFormat& format = frame.GetFormat();
    const bool known = format == PixelFormat::XRGB8888() || format == PixelFormat::RGB565() ||
                       format == PixelFormat::RGB555();
    if (!known || frame.GetWidth() <= 0 || frame.GetHeight() <= 0) {
        return false;
    }
    return mImpl->ShowSoftwareFrame(frame);
}

bool Renderer::ReadOutput(Surface& out)
{
    Surface whole(GetOutputWidth(), GetOutputHeight(), PixelFormat::ARGB8888());
    SDL_Texture* previous = SDL_GetRenderTarget(mImpl->renderer);
    SDL_SetRenderTarget(mImpl->renderer, nullptr);
    bool read;
    if (mImpl->shownOnSurface) {
        read = mImpl->ReadWindowSurface(whole);
    } else if (mImpl->output) {
        // The window-free renderer's output is our own memory.
        SDL_LockSurface(mImpl->output);
        for (int y = 0; y < whole.GetHeight(); ++y) {
            std::memcpy(whole.GetRow(y),
                        static_cast<uint8_t*>(mImpl->output->pixels) + y * mImpl->output->pitch,
                        static_cast<size_t>(whole.GetWidth()) * 4);
        }
        SDL_UnlockSurface(mImpl->output);
        read = true;
    } else {
        // The whole output, black bars included.
        int logicalWidth = 0;
        int logicalHeight = 0;
        SDL_RenderGetLogicalSize(mImpl->renderer, &logicalWidth, &logicalHeight);
        SDL_RenderSetLogicalSize(mImpl->renderer, 0, 0);
        read = SDL_RenderReadPixels(mImpl->renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, whole.GetPixels(),
                                    whole.GetPitch()) == 0;
        SDL_RenderSetLogicalSize(mImpl->renderer, logicalWidth, logicalHeight);
    }
    SDL_SetRenderTarget(mImpl->renderer, previous);
    if (read) {
        out.CopyFrom(whole);
    }
    return read;
}

int Renderer::GetOutputWidth() const
{
    int w = 0;
    int h = 0;
    SDL_GetRendererOutputSize(mImpl->renderer, &w, &h);
    return w;
}

int Renderer::GetOutputHeight() const
{
    int w = 0;
    int h = 0;
    SDL_GetRendererOutputSize(mImpl->renderer, &w, &h);
    return h;
}

bool Renderer::TakeDeviceLost()
{
    if (!mImpl->targetsLost.exchange(false)) {
        return false;
    }
    if (mImpl->texturesLost.exchange(false)) {
        mImpl->DropAllTextures();
        if (mImpl->frame) {
            SDL_DestroyTexture(mImpl->frame);
            mImpl->frame = nullptr;
        }
    }
    return true;
}

} // namespace Platform
