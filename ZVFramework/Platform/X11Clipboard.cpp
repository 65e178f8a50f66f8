#include "Platform/X11Clipboard.h"

#include <X11/Xatom.h>
#include <poll.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <iterator>

namespace ZV::Platform {

namespace {

// Server times are milliseconds that wrap around.
bool IsBefore(Time time, Time reference)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(time) - static_cast<std::uint32_t>(reference)) < 0;
}

}  // namespace

std::unique_ptr<X11Clipboard> X11Clipboard::Create(X11EventDispatcher& dispatcher)
{
    Display* display = dispatcher.GetDisplay();
    XSetWindowAttributes attributes{};
    attributes.event_mask = PropertyChangeMask;
    const Window window = XCreateWindow(display, DefaultRootWindow(display), -1, -1, 1, 1, 0, CopyFromParent,
                                        InputOnly, CopyFromParent, CWEventMask, &attributes);
    if (window == None) {
        return nullptr;
    }
    return std::unique_ptr<X11Clipboard>(new X11Clipboard(dispatcher, window));
}

X11Clipboard::X11Clipboard(X11EventDispatcher& dispatcher, Window window)
    : mDispatcher(dispatcher), mDisplay(dispatcher.GetDisplay()), mWindow(window)
{
    const char* names[] = {"CLIPBOARD", "TARGETS", "TIMESTAMP", "INCR", "UTF8_STRING", "text/plain;charset=utf-8",
                           "TEXT", "_ZV_FRAMEWORK_OBJECT", "_ZV_CLIPBOARD_TRANSFER"};
    Atom atoms[std::size(names)] = {};
    XInternAtoms(mDisplay, const_cast<char**>(names), static_cast<int>(std::size(names)), False, atoms);
    mAtoms = {atoms[0], atoms[1], atoms[2], atoms[3], atoms[4], atoms[5], atoms[6], atoms[7], atoms[8]};
    // The largest property one request can write, less room for the request's own fields.
    mMaxPiece = static_cast<std::size_t>(XMaxRequestSize(mDisplay)) * 4 - 1024;
    mDispatcher.Register(mWindow, this);
}

X11Clipboard::~X11Clipboard()
{
    for (const Transfer& transfer : mTransfers) {
        XSelectInput(mDisplay, transfer.requestor, NoEventMask);
        mDispatcher.Unregister(transfer.requestor);
    }
    mDispatcher.Unregister(mWindow);
    // The selection goes with its owner window.
    XDestroyWindow(mDisplay, mWindow);
    XFlush(mDisplay);
}

bool X11Clipboard::OfferText(std::string utf8Text, std::string latin1Text)
{
    DropOffer();
    if (!TakeSelection()) {
        return false;
    }
    mUtf8Text = std::make_shared<const std::string>(std::move(utf8Text));
    mLatin1Text = std::make_shared<const std::string>(std::move(latin1Text));
    return true;
}

bool X11Clipboard::OfferPrivateObject()
{
    DropOffer();
    if (!TakeSelection()) {
        return false;
    }
    mPrivateObject = true;
    return true;
}

void X11Clipboard::DropOffer()
{
    // Large answers under way keep their own hold on the text they send.
    mUtf8Text.reset();
    mLatin1Text.reset();
    mPrivateObject = false;
}

void X11Clipboard::OnConnectionLost()
{
    // The selection went with the connection.
    LoseOwnership();
}

void X11Clipboard::LoseOwnership()
{
    if (!mOwner) {
        return;
    }
    mOwner = false;
    DropOffer();
    if (mOwnershipLost) {
        mOwnershipLost();
    }
}

bool X11Clipboard::TakeSelection()
{
    const Time time = GetServerTime();
    XSetSelectionOwner(mDisplay, mAtoms.clipboard, mWindow, time);
    mOwner = XGetSelectionOwner(mDisplay, mAtoms.clipboard) == mWindow;
    if (mOwner) {
        mOwnedSince = time;
    }
    return mOwner;
}

// The time of a change to the hidden window's property: what the selection is owned since and what TIMESTAMP
// answers. CurrentTime when the server did not report it in time.
Time X11Clipboard::GetServerTime()
{
    XChangeProperty(mDisplay, mWindow, mAtoms.timestamp, XA_INTEGER, 32, PropModeAppend, nullptr, 0);
    XFlush(mDisplay);
    XEvent event;
    const bool reported = WaitForEvent(
        [this](const XEvent& candidate) {
            return candidate.type == PropertyNotify && candidate.xproperty.window == mWindow &&
                   candidate.xproperty.atom == mAtoms.timestamp;
        },
        event);
    return reported ? event.xproperty.time : CurrentTime;
}

void X11Clipboard::HandleEvent(const XEvent& event)
{
    switch (event.type) {
    case SelectionRequest:
        AnswerRequest(event.xselectionrequest);
        break;
    case SelectionClear:
        // A clear older than our latest taking of the selection was meant for an earlier ownership.
        if (event.xselectionclear.selection == mAtoms.clipboard &&
            (mOwnedSince == CurrentTime || !IsBefore(event.xselectionclear.time, mOwnedSince))) {
            LoseOwnership();
        }
        break;
    case PropertyNotify:
        if (event.xproperty.window != mWindow && event.xproperty.state == PropertyDelete) {
            ContinueTransfer(event.xproperty);
        }
        break;
    case DestroyNotify:
        std::erase_if(mTransfers,
                      [&](const Transfer& transfer) { return transfer.requestor == event.xdestroywindow.window; });
        mDispatcher.Unregister(event.xdestroywindow.window);
        break;
    default:
        break;
    }
}

void X11Clipboard::AnswerRequest(const XSelectionRequestEvent& request)
{
    XSelectionEvent reply{};
    reply.type = SelectionNotify;
    reply.display = mDisplay;
    reply.requestor = request.requestor;
    reply.selection = request.selection;
    reply.target = request.target;
    reply.time = request.time;
    reply.property = None;
    const bool current = mOwner && request.selection == mAtoms.clipboard &&
                         (request.time == CurrentTime || mOwnedSince == CurrentTime ||
                          !IsBefore(request.time, mOwnedSince));
    if (current) {
        // Requestors of the oldest kind name no property: the answer goes under the target's name.
        reply.property = WriteAnswer(request, request.property != None ? request.property : request.target);
    }
    XSendEvent(mDisplay, request.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
    XFlush(mDisplay);
}

Atom X11Clipboard::WriteAnswer(const XSelectionRequestEvent& request, Atom property)
{
    const Window requestor = request.requestor;
    const Atom target = request.target;
    const bool text = mUtf8Text != nullptr;
    if (target == mAtoms.targets) {
        std::vector<Atom> targets{mAtoms.targets, mAtoms.timestamp};
        if (text) {
            targets.insert(targets.end(), {mAtoms.utf8String, mAtoms.textPlainUtf8, XA_STRING, mAtoms.text});
        }
        if (mPrivateObject) {
            targets.push_back(mAtoms.privateObject);
        }
        XChangeProperty(mDisplay, requestor, property, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(targets.data()), static_cast<int>(targets.size()));
        return property;
    }
    if (target == mAtoms.timestamp) {
        const long time = static_cast<long>(mOwnedSince);
        XChangeProperty(mDisplay, requestor, property, XA_INTEGER, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&time), 1);
        return property;
    }
    if (text && (target == mAtoms.utf8String || target == mAtoms.textPlainUtf8)) {
        WriteText(requestor, property, target, mUtf8Text);
        return property;
    }
    if (text && (target == XA_STRING || target == mAtoms.text)) {
        WriteText(requestor, property, XA_STRING, mLatin1Text);
        return property;
    }
    if (mPrivateObject && target == mAtoms.privateObject) {
        XChangeProperty(mDisplay, requestor, property, mAtoms.privateObject, 8, PropModeReplace, nullptr, 0);
        return property;
    }
    return None;
}

void X11Clipboard::WriteText(Window requestor, Atom property, Atom type,
                             const std::shared_ptr<const std::string>& data)
{
    if (data->size() <= mMaxPiece) {
        XChangeProperty(mDisplay, requestor, property, type, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(data->data()), static_cast<int>(data->size()));
        return;
    }
    // Too large for one request: announce the size, then write a piece each time the requestor has taken the last.
    // The requestor's window is watched before the answer goes out, so that no deletion is missed.
    std::erase_if(mTransfers, [&](const Transfer& transfer) {
        return transfer.requestor == requestor && transfer.property == property;
    });
    XSelectInput(mDisplay, requestor, PropertyChangeMask | StructureNotifyMask);
    mDispatcher.Register(requestor, this);
    const long size = static_cast<long>(std::min<std::size_t>(data->size(), LONG_MAX));
    XChangeProperty(mDisplay, requestor, property, mAtoms.incremental, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&size), 1);
    mTransfers.push_back({requestor, property, type, data, 0});
}

void X11Clipboard::ContinueTransfer(const XPropertyEvent& event)
{
    const auto transfer = std::find_if(mTransfers.begin(), mTransfers.end(), [&](const Transfer& candidate) {
        return candidate.requestor == event.window && candidate.property == event.atom;
    });
    if (transfer == mTransfers.end()) {
        return;
    }
    // The last piece is an empty one.
    const std::size_t piece = std::min(mMaxPiece, transfer->data->size() - transfer->sent);
    XChangeProperty(mDisplay, transfer->requestor, transfer->property, transfer->type, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(transfer->data->data() + transfer->sent),
                    static_cast<int>(piece));
    transfer->sent += piece;
    XFlush(mDisplay);
    if (piece == 0) {
        const Window requestor = transfer->requestor;
        mTransfers.erase(transfer);
        ForgetRequestor(requestor);
    }
}

void X11Clipboard::ForgetRequestor(Window requestor)
{
    const bool stillUsed = std::any_of(mTransfers.begin(), mTransfers.end(),
                                       [&](const Transfer& transfer) { return transfer.requestor == requestor; });
    if (!stillUsed) {
        XSelectInput(mDisplay, requestor, NoEventMask);
        mDispatcher.Unregister(requestor);
    }
}

template <class Accepts>
bool X11Clipboard::WaitForEvent(Accepts accepts, XEvent& event)
{
    const auto predicate = [](Display*, XEvent* candidate, XPointer argument) -> Bool {
        return (*reinterpret_cast<Accepts*>(argument))(*candidate) ? True : False;
    };
    const auto deadline = std::chrono::steady_clock::now() + kAnswerWait;
    XFlush(mDisplay);
    for (;;) {
        if (XCheckIfEvent(mDisplay, &event, predicate, reinterpret_cast<XPointer>(&accepts)) == True) {
            return true;
        }
        // Nothing more comes on a lost connection, and its descriptor would not wait.
        if (mDispatcher.IsConnectionLost()) {
            return false;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        pollfd connection{ConnectionNumber(mDisplay), POLLIN, 0};
        (void)poll(&connection, 1, static_cast<int>(left.count()));
    }
}

IClipboardService::ReadResult X11Clipboard::ReadText(std::string& text, bool& latin1)
{
    if (mOwner) {
        if (mUtf8Text == nullptr) {
            return ReadResult::kNoText;
        }
        text = *mUtf8Text;
        latin1 = false;
        return ReadResult::kText;
    }
    if (XGetSelectionOwner(mDisplay, mAtoms.clipboard) == None) {
        return ReadResult::kNoText;
    }
    for (const Atom target : {mAtoms.utf8String, Atom{XA_STRING}}) {
        std::string data;
        Atom type = None;
        const ReadResult result = ReadTarget(target, data, type);
        if (result == ReadResult::kNoText) {
            continue;
        }
        if (result == ReadResult::kText) {
            text = std::move(data);
            latin1 = type == XA_STRING;
        }
        return result;
    }
    return ReadResult::kNoText;
}

IClipboardService::ReadResult X11Clipboard::ReadTarget(Atom target, std::string& data, Atom& type)
{
    XDeleteProperty(mDisplay, mWindow, mAtoms.transfer);
    XConvertSelection(mDisplay, mAtoms.clipboard, target, mAtoms.transfer, mWindow, CurrentTime);
    XEvent event;
    if (!WaitForEvent(
            [&](const XEvent& candidate) {
                return candidate.type == SelectionNotify && candidate.xselection.requestor == mWindow &&
                       candidate.xselection.selection == mAtoms.clipboard && candidate.xselection.target == target;
            },
            event)) {
        return ReadResult::kNoAnswer;
    }
    if (event.xselection.property == None) {
        return ReadResult::kNoText;
    }
    // The owner wrote the answer before it sent the notice, so the notice of that write is queued already; it must
    // not pass for the first piece of a large answer.
    XEvent stale;
    while (XCheckIfEvent(
               mDisplay, &stale,
               [](Display*, XEvent* candidate, XPointer argument) -> Bool {
                   const auto* self = reinterpret_cast<const X11Clipboard*>(argument);
                   return candidate->type == PropertyNotify && candidate->xproperty.window == self->mWindow &&
                                  candidate->xproperty.atom == self->mAtoms.transfer
                              ? True
                              : False;
               },
               reinterpret_cast<XPointer>(this)) == True) {
    }
    if (!TakeProperty(data, type)) {
        return ReadResult::kNoAnswer;
    }
    if (type != mAtoms.incremental) {
        return ReadResult::kText;
    }
    data.clear();
    return ReadIncrementally(data, type) ? ReadResult::kText : ReadResult::kNoAnswer;
}

// Each piece is announced by a new value of the property; an empty piece ends the text.
bool X11Clipboard::ReadIncrementally(std::string& data, Atom& type)
{
    for (;;) {
        XEvent event;
        if (!WaitForEvent(
                [this](const XEvent& candidate) {
                    return candidate.type == PropertyNotify && candidate.xproperty.window == mWindow &&
                           candidate.xproperty.atom == mAtoms.transfer &&
                           candidate.xproperty.state == PropertyNewValue;
                },
                event)) {
            return false;
        }
        const std::size_t before = data.size();
        if (!TakeProperty(data, type)) {
            return false;
        }
        if (data.size() == before) {
            return true;
        }
    }
}

bool X11Clipboard::TakeProperty(std::string& data, Atom& type)
{
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long size = 0;
    unsigned char* bytes = nullptr;
    // First only the size, to read the whole in one call, and no further.
    if (XGetWindowProperty(mDisplay, mWindow, mAtoms.transfer, 0, 0, False, AnyPropertyType, &actualType, &format,
                           &count, &size, &bytes) != Success) {
        return false;
    }
    if (bytes != nullptr) {
        XFree(bytes);
        bytes = nullptr;
    }
    if (actualType == None) {
        return false;
    }
    if (actualType == mAtoms.incremental) {
        // Deleting the announcement asks for the first piece.
        type = actualType;
        XDeleteProperty(mDisplay, mWindow, mAtoms.transfer);
        XFlush(mDisplay);
        return true;
    }
    if (format != 8 || size > kMaxTextBytes - data.size()) {
        XDeleteProperty(mDisplay, mWindow, mAtoms.transfer);
        return false;
    }
    const long units = static_cast<long>((size + 3) / 4);
    unsigned long left = 0;
    if (XGetWindowProperty(mDisplay, mWindow, mAtoms.transfer, 0, units, True, AnyPropertyType, &actualType, &format,
                           &count, &left, &bytes) != Success) {
        return false;
    }
    if (bytes != nullptr) {
        data.append(reinterpret_cast<const char*>(bytes), std::min<unsigned long>(count, size));
        XFree(bytes);
    }
    type = actualType;
    XFlush(mDisplay);
    return true;
}

}  // namespace ZV::Platform
