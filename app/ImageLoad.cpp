#include "app/Console.h"
#include "app/Image.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"

#include <cstdlib>
#include <cstring>
#include <span>
#include <string>
#include <vector>

namespace {

// Redirects may chain; a chain that comes back on itself would recurse
// forever, so after this many the image counts as not found.
constexpr int kMaxRedirects = 16;
constexpr size_t kMaxPath = 260;
constexpr size_t kMaxSegment = 128;
constexpr size_t kMaxShortcutText = 260;

using DecodeFunction = void (Image::*)(const uint8_t*, size_t);

void ReadWith(Image& image, const char* path, DecodeFunction decode)
{
    std::vector<uint8_t> bytes;
    image.Free();
    if (!Platform::Files::ReadWhole(path, bytes)) {
        return;
    }
    (image.*decode)(bytes.data(), bytes.size());
    if (!image.HasPixels() && theConsole != nullptr) {
        theConsole->Printf("WARNING: Damaged image file [%s]", path);
    }
}

bool Exists(const std::string& path)
{
    return Platform::Files::Exists(path) != Platform::Files::Presence::Missing;
}

bool ContainsAlpha(const char* baseName)
{
    return std::strstr(baseName, "_alpha") != nullptr;
}

// The position after the last separator when one stands after the first
// character, else 0 (no usable folder).
size_t FilePartStart(const char* baseName)
{
    const size_t length = std::strlen(baseName);
    for (size_t i = length; i > 1; --i) {
        if (baseName[i - 1] == '\\' || baseName[i - 1] == '/') {
            return i;
        }
    }
    return 0;
}

std::string ReadShortcutText(const std::string& path, bool stopAtControl)
{
    std::vector<uint8_t> bytes;
    if (!Platform::Files::ReadWhole(path, bytes)) {
        return std::string();
    }
    if (bytes.size() > kMaxShortcutText) {
        bytes.resize(kMaxShortcutText);
    }
    std::string text;
    for (uint8_t byte : bytes) {
        if (byte == 0 || (stopAtControl && byte < 32)) {
            break;
        }
        text.push_back(char(byte));
    }
    return text;
}

void CutLastName(std::string& result)
{
    size_t end = result.size();
    while (end > 0 && (result[end - 1] == '\\' || result[end - 1] == '/')) {
        --end;
    }
    while (end > 0 && result[end - 1] != '\\' && result[end - 1] != '/') {
        --end;
    }
    result.resize(end);
}

bool AppendSegment(std::string& result, std::string& segment)
{
    if (segment.size() >= kMaxSegment) {
        return false;
    }
    if (segment == "..") {
        CutLastName(result);
    } else if (!segment.empty()) {
        result += segment;
        result += '\\';
    }
    segment.clear();
    return true;
}

} // namespace

bool NormalizePath(const char* base, const char* relative, char* out, size_t outSize)
{
    std::string result = base;
    std::string segment;
    for (const char* p = relative; *p != '\0'; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c < 32) {
            continue;
        }
        const bool separator = c == '\\' || c == '/';
        if (separator && segment.empty()) {
            segment.push_back(char(c));
        } else if (separator) {
            if (!AppendSegment(result, segment)) {
                return false;
            }
        } else {
            segment.push_back(char(c));
        }
    }
    if (!AppendSegment(result, segment) || result.size() >= std::min(outSize, kMaxPath)) {
        return false;
    }
    std::memcpy(out, result.c_str(), result.size() + 1);
    return true;
}

void Image::LoadCached(const char* path)
{
    ReadWith(*this, path, &Image::DecodeCached);
}

void Image::LoadGIF(const char* path)
{
    ReadWith(*this, path, &Image::DecodeGIF);
}

void Image::LoadJPEG(const char* path)
{
    ReadWith(*this, path, &Image::DecodeJPEG);
}

void Image::LoadPNG(const char* path)
{
    ReadWith(*this, path, &Image::DecodePNG);
}

void Image::Load(const char* baseName, const char* alphaName)
{
    LoadFollowing(baseName, alphaName, 0);
}

// An image's own file is looked for as GIF, JPEG, PNG; a mask standing in
// for a missing image as PNG, GIF, JPEG. Art that holds a mask in two forms
// relies on these orders.
bool Image::ProbeFormats(const char* baseName, bool maskOrder)
{
    struct Kind
    {
        const char* extension;
        void (Image::*read)(const char*);
    };
    static const Kind kImageOrder[] = {
        {".gif", &Image::LoadGIF}, {".jpg", &Image::LoadJPEG}, {".png", &Image::LoadPNG}};
    static const Kind kMaskOrder[] = {
        {".png", &Image::LoadPNG}, {".gif", &Image::LoadGIF}, {".jpg", &Image::LoadJPEG}};
    for (const Kind& kind : maskOrder ? std::span<const Kind>(kMaskOrder) : std::span<const Kind>(kImageOrder)) {
        const std::string path = std::string(baseName) + kind.extension;
        if (mPixels == nullptr && Exists(path)) {
            (this->*kind.read)(path.c_str());
        }
    }
    return mPixels != nullptr;
}

void Image::LoadFollowing(const char* baseName, const char* alphaName, int depth)
{
    Free();
    if (depth > kMaxRedirects) {
        if (theConsole != nullptr) {
            theConsole->Printf("WARNING: Too many image redirects [%s]", baseName);
        }
        if (!ContainsAlpha(baseName)) {
            ReportMissing(baseName);
        }
        return;
    }
    const std::string base = baseName;
    if (Exists(base + ".cached")) {
        LoadCached((base + ".cached").c_str());
        alphaName = nullptr;
    }
    if (mPixels == nullptr && !ProbeFormats(baseName) && Exists(base + ".shortcut") &&
        FollowShortcut(baseName, depth)) {
        return;
    }
    if (mPixels == nullptr) {
        if (ContainsAlpha(baseName)) {
            return;
        }
        ProbeFormats((base + "_alpha").c_str(), true);
        if (mPixels == nullptr) {
            if (!FollowNotFoundShortcut(baseName, depth)) {
                ReportMissing(baseName);
            }
            return;
        }
        MakeOpaqueWhite();
    }
    if (alphaName != nullptr) {
        ApplyAlphaMaskFile(alphaName);
    } else if (!ContainsAlpha(baseName)) {
        ApplyAlphaMaskFile((base + "_alpha").c_str());
    }
}

bool Image::FollowShortcut(const char* baseName, int depth)
{
    const std::string text = ReadShortcutText(std::string(baseName) + ".shortcut", true);
    return !text.empty() && LoadRedirected(baseName, text, depth);
}

bool Image::FollowNotFoundShortcut(const char* baseName, int depth)
{
    const std::string shortcut = std::string(baseName, FilePartStart(baseName)) + "__notfound.shortcut";
    return Exists(shortcut) && LoadRedirected(baseName, ReadShortcutText(shortcut, false), depth);
}

// The redirect text names a folder, relative to the image's own; the image
// keeps its file name there.
bool Image::LoadRedirected(const char* baseName, const std::string& folderText, int depth)
{
    const size_t fileStart = FilePartStart(baseName);
    char target[kMaxPath];
    if (fileStart == 0 || !NormalizePath(std::string(baseName, fileStart).c_str(), folderText.c_str(), target,
                                         sizeof(target))) {
        return false;
    }
    const std::string next = std::string(target) + (baseName + fileStart);
    LoadFollowing(next.c_str(), nullptr, depth + 1);
    return true;
}

void Image::ApplyAlphaMaskFile(const char* maskName)
{
    if (mPixels == nullptr) {
        return;
    }
    Image mask;
    mask.Load(maskName, nullptr);
    ApplyAlphaMask(mask);
}

// The game cannot run without its art: tell the player and stop. The exit
// status is non-zero so that a script starting the game sees the failure.
// Images load on the loader thread too, while the main thread draws: the
// process ends at once rather than running static destructors under it (the
// log line is already on disk).
void Image::ReportMissing(const char* baseName)
{
    const std::string text = std::string("Could not load image: ") + baseName;
    if (theConsole != nullptr) {
        theConsole->Printf("%s", text.c_str());
    }
    Platform::Dialogs::ShowMessage("Image Load Error", text);
    std::_Exit(1);
}
