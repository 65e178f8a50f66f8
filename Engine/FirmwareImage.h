#pragma once

#include "ObjectBase/ResultCodes.h"
#include "Utilities/Storage/ArrayBuffer.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>
#include <memory>

// The firmware image: a file of System Exclusive messages, F0 <data bytes> F7 each, sent to the device one
// message at a time. A byte 0x0D also ends the message collected so far and is itself the first byte of the next
// one. Nothing else may stand in the file, not even after the last message.
using FirmwareImageBytes = ZV::ArrayBuffer<std::uint8_t>;
// An image held by everybody who reads it: the engine, and a MIDI driver still sending a message of it.
using SharedFirmwareImage = std::shared_ptr<const FirmwareImageBytes>;

// The largest image that can reach the device: it is held whole, so that all of it is checked before a byte goes
// out, in the framework's byte array, whose counts end here.
inline constexpr std::uint32_t kLargestFirmwareImage = 0x7FFFFFFF;

// What makes an image unfit to send. Anything the device would read otherwise than the file says refuses the
// whole image, before a byte of it goes out.
enum class ImageFault : std::int32_t {
    kNone,
    kNoMessage,             // an empty file
    kByteOutsideMessages,   // a byte before the first F0, between an F7 and the next F0, or after the last F7
    kStatusByteInMessage,   // a byte of 0x80 or above, other than F0 and F7, inside a message
    kMessageInsideMessage,  // an F0 while a message is still open
    kEmptyMessage,          // a message that ends (F7 or 0x0D) with nothing in it
    kUnfinishedMessage,     // the file ends inside a message; the offset is where that message begins
    kTooLarge,              // the file goes on past kLargestFirmwareImage bytes; the offset is the first byte past it
};

// One message of the image: where its body (without F0 and F7) begins, its length, and the offset of the byte that
// ends it, all counted from the start of the image.
struct ImageMessage {
    std::uint32_t BodyOffset = 0;
    std::uint32_t Length = 0;
    std::uint32_t EndOffset = 0;
};

// Walks an image message by message as its bytes come, block after block, and stops at the first fault.
class FirmwareImageWalker {
public:
    // The next bytes of the image, right after those fed before, which Next must have walked to the end.
    void Feed(const std::uint8_t* bytes, std::uint32_t count);
    // The next message that ends within the bytes fed so far; false when they are used up, and at a fault.
    bool Next(ImageMessage& message);
    // The image ends after the bytes fed: false when it ends inside a message or holds none, or had a fault before.
    bool Finish();

    ImageFault GetFault() const { return mFault; }
    std::uint32_t GetFaultOffset() const { return mFaultOffset; }
    std::uint32_t GetMessageCount() const { return mMessageCount; }

private:
    static constexpr std::uint32_t kNoOpenMessage = 0xFFFFFFFF;

    bool Stop(ImageFault fault, std::uint32_t offset);

    const std::uint8_t* mBlock = nullptr;
    std::uint32_t mBlockCount = 0;
    // The image's offset of the block's first byte, and how far into the block the walk has come.
    std::uint32_t mBlockStart = 0;
    std::uint32_t mPosition = 0;
    // Bytes past kLargestFirmwareImage were fed and left out of the block.
    bool mPastLargest = false;
    // Where the open message's body begins in the image; kNoOpenMessage between messages.
    std::uint32_t mBodyStart = kNoOpenMessage;
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

// Reads the file in blocks and walks each as it comes, stopping at the first fault; a file larger than any image is
// refused before a byte of it is read. 0x80004005 when the file cannot be opened (anything but a regular file) or
// read; else 0, with the walk's finding in check and, when the image is fit to send, the whole file in image.
ZV::ZVRESULT ReadFirmwareImage(const ZV::WideString& path, FirmwareImageBytes& image, ImageCheck& check);
// The same, keeping none of the bytes.
ZV::ZVRESULT CheckFirmwareImageFile(const ZV::WideString& path, ImageCheck& check);

// Whether the file holds exactly the image, read in blocks beside it so that the image is never held twice:
// 0x80004005 when the file cannot be opened or read.
ZV::ZVRESULT CompareFirmwareImageFile(const ZV::WideString& path, const FirmwareImageBytes& image, bool& same);

// Says on the debug output where the image was refused and why.
void ReportImageRefusal(const ImageCheck& check);
