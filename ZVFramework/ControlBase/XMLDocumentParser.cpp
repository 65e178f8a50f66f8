#include "ControlBase/XMLDocumentParser.h"

#include "ControlBase/DebugLine.h"

#include <expat.h>

#include <algorithm>
#include <climits>
#include <exception>
#include <memory>
#include <string>

namespace ZV {

namespace {

// One parse. An exception must never unwind through Expat's C frames: each callback catches what its handler
// throws, keeps its text and stops the parser; ParseXMLDocument reports it once Expat has returned.
struct ParseSession {
    XML_Parser parser;
    IXMLContentHandler& handler;
    bool skipFirstElement = true;
    bool stopped = false;
    std::string failure;
};

template <class Action>
void RunGuarded(void* userData, Action action)
{
    auto& session = *static_cast<ParseSession*>(userData);
    // A stopped parser may still deliver the end of an empty element; nothing is handled after the stop.
    if (session.stopped) {
        return;
    }
    try {
        action(session);
        return;
    } catch (const std::exception& error) {
        session.failure = error.what();
    } catch (...) {
        session.failure = "an exception of unknown type";
    }
    session.stopped = true;
    XML_StopParser(session.parser, XML_FALSE);
}

void XMLCALL OnStartElement(void* userData, const XML_Char* name, const XML_Char** attributes)
{
    RunGuarded(userData, [&](ParseSession& session) {
        if (session.skipFirstElement) {
            session.skipFirstElement = false;
            return;
        }
        session.handler.XMLStartElement(name, XMLAttributes(attributes));
    });
}

void XMLCALL OnEndElement(void* userData, const XML_Char* name)
{
    RunGuarded(userData, [&](ParseSession& session) { session.handler.XMLEndElement(name); });
}

void XMLCALL OnCharacterData(void* userData, const XML_Char* text, int length)
{
    RunGuarded(userData, [&](ParseSession& session) {
        session.handler.XMLCharacterData(std::string_view(text, static_cast<std::size_t>(length)));
    });
}

// Expat takes at most INT_MAX bytes a call.
XML_Status ParseInPieces(XML_Parser parser, const char* bytes, std::size_t length)
{
    do {
        const std::size_t piece = std::min<std::size_t>(length, INT_MAX);
        length -= piece;
        const XML_Status status = XML_Parse(parser, bytes, static_cast<int>(piece), length == 0);
        if (status != XML_STATUS_OK) {
            return status;
        }
        bytes += piece;
    } while (length != 0);
    return XML_STATUS_OK;
}

}  // namespace

ZVRESULT ParseXMLDocument(const char* bytes, std::size_t length, IXMLContentHandler& handler, XMLParseError& error)
{
    const std::unique_ptr<XML_ParserStruct, void (*)(XML_Parser)> owner(XML_ParserCreate(nullptr), &XML_ParserFree);
    const XML_Parser parser = owner.get();
    if (parser == nullptr) {
        WriteDebugLine("XML document not parsed: no parser could be made");
        return ZV_E_FAIL;
    }
    ParseSession session{parser, handler, true, false, {}};
    XML_SetUserData(parser, &session);
    XML_SetElementHandler(parser, &OnStartElement, &OnEndElement);
    XML_SetCharacterDataHandler(parser, &OnCharacterData);

    const XML_Status status = ParseInPieces(parser, bytes, length);
    if (session.stopped) {
        WriteDebugLine("XML document abandoned: " + session.failure);
        return ZV_E_FAIL;
    }
    if (status != XML_STATUS_OK) {
        error.text = WideString(XML_ErrorString(XML_GetErrorCode(parser)));
        error.line = static_cast<std::uint32_t>(XML_GetCurrentLineNumber(parser));
        WriteDebugLine("XML document not well-formed: " + std::string(error.text.ToUTF8().GetData()) + " at line " +
                       std::to_string(error.line));
        return ZV_E_FAIL;
    }
    return ZV_S_OK;
}

}  // namespace ZV
