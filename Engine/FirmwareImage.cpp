#include "Engine/FirmwareImage.h"

#include "Engine/DeviceMessages.h"
#include "Utilities/Storage/ZVFile.h"

#include <exception>

using namespace ZV;

namespace {

using DeviceMessages::kSysExEnd;
using DeviceMessages::kSysExStart;
constexpr std::uint8_t kMessageSplit = 0x0D;
constexpr std::uint8_t kStatusBit = 0x80;
constexpr std::uint32_t kNoOpenMessage = 0xFFFFFFFF;

// Just after the last F0: bytes outside a message from here on begin none.
std::uint32_t FindTrailStart(const std::uint8_t* bytes, std::uint32_t count)
{
    for (std::uint32_t index = count; index > 0; --index) {
        if (bytes[index - 1] == kSysExStart) {
            return index;
        }
    }
    return 0;
}

}  // namespace

FirmwareImageWalker::FirmwareImageWalker(const std::uint8_t* bytes, std::uint32_t count)
    : mBytes(bytes), mCount(count), mTrailStart(FindTrailStart(bytes, count)), mBodyStart(kNoOpenMessage)
{
}

bool FirmwareImageWalker::Next(ImageMessage& message)
{
    while (mPosition < mCount) {
        const std::uint32_t index = mPosition;
        const std::uint8_t byte = mBytes[index];
        if (mBodyStart == kNoOpenMessage) {
            if (byte == kSysExStart) {
                mMessageStart = index;
                mBodyStart = index + 1;
                ++mPosition;
                continue;
            }
            // A terminator outside a message would end one that is not there.
            if (index >= mTrailStart && byte != kSysExEnd && byte != kMessageSplit) {
                mPosition = mCount;
                break;
            }
            return Stop(ImageFault::kByteOutsideMessages, index);
        }
        if (byte == kSysExStart) {
            return Stop(ImageFault::kMessageInsideMessage, index);
        }
        if (byte == kSysExEnd || byte == kMessageSplit) {
            if (index == mBodyStart) {
                return Stop(ImageFault::kEmptyMessage, index);
            }
            message = ImageMessage{mBytes + mBodyStart, index - mBodyStart, index};
            ++mMessageCount;
            mPosition = index + 1;
            mBodyStart = kNoOpenMessage;
            if (byte == kMessageSplit) {
                mMessageStart = index;
                mBodyStart = index;
            }
            return true;
        }
        if ((byte & kStatusBit) != 0) {
            return Stop(ImageFault::kStatusByteInMessage, index);
        }
        ++mPosition;
    }
    if (mFault == ImageFault::kNone) {
        if (mBodyStart != kNoOpenMessage) {
            return Stop(ImageFault::kUnfinishedMessage, mMessageStart);
        }
        if (mMessageCount == 0) {
            return Stop(ImageFault::kNoMessage, 0);
        }
    }
    return false;
}

bool FirmwareImageWalker::Stop(ImageFault fault, std::uint32_t offset)
{
    mFault = fault;
    mFaultOffset = offset;
    mPosition = mCount;
    mBodyStart = kNoOpenMessage;
    return false;
}

const char* DescribeImageFault(ImageFault fault)
{
    switch (fault) {
    case ImageFault::kNone:
        return "no fault";
    case ImageFault::kNoMessage:
        return "the file holds no System Exclusive message";
    case ImageFault::kByteOutsideMessages:
        return "a byte stands outside any message";
    case ImageFault::kStatusByteInMessage:
        return "a status byte stands inside a message";
    case ImageFault::kMessageInsideMessage:
        return "a message begins inside another one";
    case ImageFault::kEmptyMessage:
        return "a message ends with nothing in it";
    case ImageFault::kUnfinishedMessage:
        return "the file ends inside the message that begins there";
    }
    return "unknown fault";
}

ImageCheck CheckFirmwareImage(const FirmwareImageBytes& image)
{
    FirmwareImageWalker walker(image.GetData(), image.GetCount());
    ImageMessage message;
    while (walker.Next(message)) {
    }
    return ImageCheck{walker.GetFault(), walker.GetFaultOffset(), walker.GetMessageCount()};
}

ZVRESULT ReadFirmwareImage(const WideString& path, FirmwareImageBytes& image)
{
    if (path.IsEmpty()) {
        return ZV_E_FAIL;
    }
    try {
        File file;
        // The path as given: a relative one names the file that the file state was found by.
        if (file.Open(path, WideString(), File::kModeRead) < 0) {
            return ZV_E_FAIL;
        }
        const std::uint32_t length = file.GetLength();
        if (image.SetCount(length) != static_cast<ZVRESULT>(length)) {
            return ZV_E_FAIL;
        }
        // A short read would send zeros in place of the image.
        if (length != 0 && file.Read(image.GetData(), length, 0) != length) {
            return ZV_E_FAIL;
        }
    } catch (const std::exception&) {
        return ZV_E_FAIL;
    }
    return ZV_S_OK;
}
