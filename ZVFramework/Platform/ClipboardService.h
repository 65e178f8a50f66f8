#pragma once

#include <functional>
#include <string>

namespace ZV::Platform {

// The desktop's clipboard as the framework's clipboard object uses it. One program owns it at a time and hands what
// it offers to the programs that paste; this process owns it from an offer until another program takes it.
// User-interface thread only.
class IClipboardService {
public:
    enum class ReadResult {
        kText,
        // The owner, if any, offers no text.
        kNoText,
        // The owner did not answer in time, or answered with more than a clipboard text may hold.
        kNoAnswer,
    };

    // Takes the clipboard for text that other programs may paste, given in UTF-8 and in Latin-1 (for those that ask
    // for the old text type); false when the desktop did not make this process the owner.
    virtual bool OfferText(std::string utf8Text, std::string latin1Text) = 0;
    // Takes the clipboard for an object that only this process can read: other programs see its private type and no
    // text. False when the desktop did not make this process the owner.
    virtual bool OfferPrivateObject() = 0;
    // Whether this process owns the clipboard, answered without asking the desktop.
    virtual bool IsOwner() const = 0;
    // The text that another program offers, UTF-8 unless latin1 comes back true; waits a bounded time for the owner.
    virtual ReadResult ReadText(std::string& text, bool& latin1) = 0;
    // Called, from the loop, when another program takes the clipboard from this process; an empty function for none.
    virtual void SetOwnershipLostHandler(std::function<void()> handler) = 0;

protected:
    ~IClipboardService() = default;
};

}  // namespace ZV::Platform
