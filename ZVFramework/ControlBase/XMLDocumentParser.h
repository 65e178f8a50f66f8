#pragma once

#include "ControlBase/XMLAttributes.h"
#include "ObjectBase/ResultCodes.h"
#include "Utilities/Storage/StringT.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace ZV {

// What a parsed document's elements and text are handed to, as UTF-8 that lives for the call: a handler converts
// what it keeps. A handler may throw: the parse then ends.
class IXMLContentHandler {
public:
    virtual void XMLStartElement(std::string_view name, const XMLAttributes& attributes) = 0;
    virtual void XMLEndElement(std::string_view name) = 0;
    // One run of an element's text; the parser may split one text into several runs.
    virtual void XMLCharacterData(std::string_view text) = 0;

protected:
    ~IXMLContentHandler() = default;
};

// Why the last document was not well-formed: Expat's text and the line it stopped at.
struct XMLParseError {
    WideString text;
    std::uint32_t line = 0;
};

// Parses the whole document with Expat (its declaration or byte-order mark decides the encoding) and hands every
// start tag but the first (the root element's, never looked at), every end tag and every run of text to the
// handler.
// 0; ZV_E_FAIL when the document is not well-formed, with error filled; ZV_E_FAIL when a handler threw, with error
// left as it was. Either failure writes a line of debug output. What the handler built before a failure stays.
[[nodiscard]] ZVRESULT ParseXMLDocument(const char* bytes, std::size_t length, IXMLContentHandler& handler,
                                        XMLParseError& error);

}  // namespace ZV
