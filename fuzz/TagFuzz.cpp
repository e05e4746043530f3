#include "app/ClumpFile.h"
#include "app/ParseXML.h"

#include <string>

// The tag parser over arbitrary text, walked as deep as the data goes, and
// the clump descriptions built on it.
namespace {
void Walk(const char* text, int depth)
{
    ParseXML parser;
    parser.SetText(text);
    for (int tags = 0; tags < 1000; ++tags) {
        ParseXMLTag tag = parser.NextTag();
        if (tag.empty) {
            return;
        }
        for (int i = 0; i < tag.CountAttributes() && i < 64; ++i) {
            tag.GetAttribute(i);
        }
        if (depth < 8) {
            Walk(tag.content.CStr(), depth + 1);
        }
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    Walk(text.c_str(), 0);
    ClumpFile clump;
    clump.Parse(text.c_str());
    return 0;
}
