#pragma once

#include "Platform/ClipboardService.h"
#include "Platform/X11EventDispatcher.h"

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace ZV::Platform {

// The CLIPBOARD selection, owned and read through a hidden window of its own on the desktop connection.
//
// As owner it answers TARGETS, TIMESTAMP, the text types (UTF8_STRING and "text/plain;charset=utf-8" as UTF-8,
// STRING and TEXT as Latin-1) or, for a private object, only its private type; texts larger than one request are
// sent in pieces (INCR). Losing the selection (SelectionClear, or the connection) drops the offer and tells the
// handler.
//
// Reading asks the owner for UTF8_STRING, then STRING, and waits for each answer and each piece of a large one at
// most a second, reading only the selection events of its own window meanwhile; every other event stays queued for
// the loop. A text is read by the length the server gives, never past it, and refused above 64 MiB.
class X11Clipboard final : public IClipboardService, private X11EventTarget {
public:
    static constexpr std::chrono::milliseconds kAnswerWait{1000};
    static constexpr std::size_t kMaxTextBytes = std::size_t{64} << 20;

    // Null when the server refused the window.
    static std::unique_ptr<X11Clipboard> Create(X11EventDispatcher& dispatcher);
    X11Clipboard(const X11Clipboard&) = delete;
    X11Clipboard& operator=(const X11Clipboard&) = delete;
    ~X11Clipboard();

    bool OfferText(std::string utf8Text, std::string latin1Text) override;
    bool OfferPrivateObject() override;
    bool IsOwner() const override { return mOwner; }
    ReadResult ReadText(std::string& text, bool& latin1) override;
    void SetOwnershipLostHandler(std::function<void()> handler) override { mOwnershipLost = std::move(handler); }

private:
    struct Atoms {
        Atom clipboard = None;
        Atom targets = None;
        Atom timestamp = None;
        Atom incremental = None;
        Atom utf8String = None;
        Atom textPlainUtf8 = None;
        Atom text = None;
        Atom privateObject = None;
        // The property of the hidden window that answers arrive in.
        Atom transfer = None;
    };
    // A large answer that the requestor takes piece by piece, deleting the property for each next one.
    struct Transfer {
        Window requestor = None;
        Atom property = None;
        Atom type = None;
        std::shared_ptr<const std::string> data;
        std::size_t sent = 0;
    };

    X11Clipboard(X11EventDispatcher& dispatcher, Window window);

    void HandleEvent(const XEvent& event) override;
    void OnConnectionLost() override;
    // Another client took the selection, or the connection went: the offer goes, and the handler is told.
    void LoseOwnership();
    bool TakeSelection();
    Time GetServerTime();
    void AnswerRequest(const XSelectionRequestEvent& request);
    // The property written for a target, or None to refuse it.
    Atom WriteAnswer(const XSelectionRequestEvent& request, Atom property);
    void WriteText(Window requestor, Atom property, Atom type, const std::shared_ptr<const std::string>& data);
    void ContinueTransfer(const XPropertyEvent& event);
    void ForgetRequestor(Window requestor);
    void DropOffer();

    // Waits for an event of the hidden window that the test accepts; false when the wait ended first.
    template <class Accepts>
    bool WaitForEvent(Accepts accepts, XEvent& event);
    ReadResult ReadTarget(Atom target, std::string& data, Atom& type);
    bool ReadIncrementally(std::string& data, Atom& type);
    // Takes the property off the hidden window whole, appending its bytes and giving its type (an announcement of a
    // large answer is taken as the request for its first piece); false when it is missing, not 8-bit, or would make
    // the text too large.
    bool TakeProperty(std::string& data, Atom& type);

    X11EventDispatcher& mDispatcher;
    Display* mDisplay;
    Window mWindow;
    Atoms mAtoms;
    std::size_t mMaxPiece;
    bool mOwner = false;
    Time mOwnedSince = CurrentTime;
    // What is offered: text in both encodings, or the private object alone.
    std::shared_ptr<const std::string> mUtf8Text;
    std::shared_ptr<const std::string> mLatin1Text;
    bool mPrivateObject = false;
    std::vector<Transfer> mTransfers;
    std::function<void()> mOwnershipLost;
};

}  // namespace ZV::Platform
