#pragma once

#include "ObjectBase/ResultCodes.h"
#include "Utilities/Storage/ArrayBuffer.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

// The firmware image: a file of System Exclusive messages, F0 <data bytes> F7 each, sent to the device one
// message at a time. A byte 0x0D also ends the message collected so far and is itself the first byte of the next
// one. Bytes after the last message that begin no message are not part of the image.
using FirmwareImageBytes = ZV::ArrayBuffer<std::uint8_t>;

// What makes an image unfit to send. Anything the device would read otherwise than the file says refuses the
// whole image, before a byte of it goes out.
enum class ImageFault : std::int32_t {
    kNone,
    kNoMessage,             // not one whole message in the file
    kByteOutsideMessages,   // a byte before the first F0, or between an F7 and the next F0
    kStatusByteInMessage,   // a byte of 0x80 or above, other than F0 and F7, inside a message
    kMessageInsideMessage,  // an F0 while a message is still open
    kEmptyMessage,          // a message that ends (F7 or 0x0D) with nothing in it
    kUnfinishedMessage,     // the file ends inside a message; the offset is where that message begins
};

// One message of the image: its body (without F0 and F7), and the offset of the byte that ends it.
struct ImageMessage {
    const std::uint8_t* Body = nullptr;
    std::uint32_t Length = 0;
    std::uint32_t EndOffset = 0;
};

// Walks an image message by message, and stops at the first fault.
class FirmwareImageWalker {
public:
    FirmwareImageWalker(const std::uint8_t* bytes, std::uint32_t count);

    // The next message; false at the end of the image and at a fault.
    bool Next(ImageMessage& message);

    ImageFault GetFault() const { return mFault; }
    std::uint32_t GetFaultOffset() const { return mFaultOffset; }
    std::uint32_t GetMessageCount() const { return mMessageCount; }

private:
    bool Stop(ImageFault fault, std::uint32_t offset);

    const std::uint8_t* mBytes;
    std::uint32_t mCount;
    // Bytes from here on begin no message and are not part of the image.
    std::uint32_t mTrailStart;
    std::uint32_t mPosition = 0;
    // Where the open message's body begins; kNoOpenMessage between messages.
    std::uint32_t mBodyStart;
    std::uint32_t mMessageStart = 0;
    std::uint32_t mMessageCount = 0;
    ImageFault mFault = ImageFault::kNone;
    std::uint32_t mFaultOffset = 0;
};

struct ImageCheck {
    ImageFault Fault = ImageFault::kNone;
    std::uint32_t Offset = 0;
    std::uint32_t MessageCount = 0;
};

// "a status byte inside a message", and so on.
const char* DescribeImageFault(ImageFault fault);

// Walks the whole image: its fault, or kNone with the number of messages it holds.
ImageCheck CheckFirmwareImage(const FirmwareImageBytes& image);

// Reads the whole file: 0x80004005 when it cannot be opened or read in full.
ZV::ZVRESULT ReadFirmwareImage(const ZV::WideString& path, FirmwareImageBytes& image);
