#pragma once

#include "app/ParseXMLTag.h"
#include "app/String.h"

#include <string>

// Reads tag-structured data files one tag at a time: a name in angle
// brackets with attribute text after it, the content, and the closing tag
// with "/" before the name. Nested tags stay in the content, to be read by
// giving that content to another ParseXML. No entities, no self-closing tags,
// no comments.
class ParseXML
{
  public:
    ParseXML() = default;
    ParseXML(const ParseXML&) = delete;
    ParseXML& operator=(const ParseXML&) = delete;

    void SetText(const char* text);
    // A file that cannot be opened leaves the reader at its end.
    void OpenFile(const String& path);
    void Close();

    // The next byte, 0 at the end. In a text a NUL ends the input; in a file
    // only the end of the file does.
    char GetChar();
    // An empty tag (empty set) when no further tag is found.
    ParseXMLTag NextTag();
    bool AtEnd() const { return atEnd; }

  private:
    bool ReadOpeningTag(std::string& name, std::string& attributes);
    std::string ReadContent(const std::string& name);

    std::string input;
    size_t position = 0;
    bool fromFile = false;
    bool atEnd = true;
};
