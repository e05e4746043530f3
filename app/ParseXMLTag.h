#pragma once

#include "app/String.h"

// One tag read by ParseXML, or one attribute of it (the attribute's name in
// "name", its value in "content").
class ParseXMLTag
{
  public:
    bool empty = true;
    String name;
    String content;
    String attributes;

    ParseXMLTag& Assign(const ParseXMLTag& other);

    // Blank-separated items of the attribute text; blanks inside quotes do
    // not separate.
    int CountAttributes() const;
    // Item i split at its first "=", surrounding matching quotes removed
    // from the value; empty when there is no item i.
    ParseXMLTag GetAttribute(int index) const;
};
