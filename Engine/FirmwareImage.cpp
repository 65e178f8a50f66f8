#include "Engine/FirmwareImage.h"

#include "Engine/DeviceMessages.h"
#include "Platform/FileSystem.h"
#include "Utilities/Debug/DebugOutput.h"

#include <algorithm>
#include <cstring>
#include <ostream>

using namespace ZV;

namespace {

using DeviceMessages::kSysExEnd;
using DeviceMessages::kSysExStart;
constexpr std::uint8_t kMessageSplit = 0x0D;
constexpr std::uint8_t kStatusBit = 0x80;
// Memory for checking a file stays this small however large the file is.
constexpr std::uint32_t kReadBlock = 64 * 1024;

// A file opened for reading, closed when it goes.
class ReadOnlyFile {
public:
    // The path as given: a relative one names the file that the file state was found by.
    explicit ReadOnlyFile(const WideString& path) : mDescriptor(Platform::OpenFile(path.ToUTF8().GetData(), {})) {}
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
    ~ReadOnlyFile()
    {
        if (mDescriptor >= 0) {
            // Nothing was written: closing cannot lose anything.
            (void)Platform::CloseFile(mDescriptor);
        }
    }

    int Get() const { return mDescriptor; }

private:
    int mDescriptor;
};

// Walks the bytes fed so far to their end: false at a fault.
bool WalkFedBytes(FirmwareImageWalker& walker)
{
    ImageMessage message;
    while (walker.Next(message)) {
    }
    return walker.GetFault() == ImageFault::kNone;
}

ImageCheck CheckOf(const FirmwareImageWalker& walker)
{
    return ImageCheck{walker.GetFault(), walker.GetFaultOffset(), walker.GetMessageCount()};
}

ZVRESULT ReadAndWalk(const WideString& path, FirmwareImageBytes* image, ImageCheck& check)
{
    check = ImageCheck();
    if (path.IsEmpty()) {
        return ZV_E_FAIL;
    }
    const ReadOnlyFile file(path);
    std::uint64_t size = 0;
    if (file.Get() < 0 || !Platform::GetFileSize(file.Get(), size)) {
        return ZV_E_FAIL;
    }
    if (size > kLargestFirmwareImage) {
        check = ImageCheck{ImageFault::kTooLarge, kLargestFirmwareImage, 0};
        return ZV_S_OK;
    }
    FirmwareImageBytes block;
    if (block.SetCount(kReadBlock) != static_cast<ZVRESULT>(kReadBlock) ||
        (image != nullptr && image->SetCount(0) != 0)) {
        return ZV_E_FAIL;
    }
    // The file may grow while it is read: the walk holds it to the largest image, not the size it had.
    FirmwareImageWalker walker;
    for (;;) {
        const std::int64_t count = Platform::ReadFile(file.Get(), block.GetData(), kReadBlock);
        if (count < 0) {
            return ZV_E_FAIL;
        }
        if (count == 0) {
            break;
        }
        const auto read = static_cast<std::uint32_t>(count);
        walker.Feed(block.GetData(), read);
        if (!WalkFedBytes(walker)) {
            break;
        }
        if (image != nullptr) {
            // Within the largest image, which the walk has just made sure of.
            const std::uint32_t held = image->GetCount();
            if (image->SetCount(held + read) != static_cast<ZVRESULT>(held + read)) {
                return ZV_E_FAIL;
            }
            std::memcpy(image->GetData() + held, block.GetData(), read);
        }
    }
    walker.Finish();
    check = CheckOf(walker);
    return ZV_S_OK;
}

}  // namespace

void FirmwareImageWalker::Feed(const std::uint8_t* bytes, std::uint32_t count)
{
    mBlockStart += mBlockCount;
    mBlock = bytes;
    mPosition = 0;
    const std::uint32_t room = kLargestFirmwareImage - mBlockStart;
    mPastLargest = mPastLargest || count > room;
    mBlockCount = std::min(count, room);
}

bool FirmwareImageWalker::Next(ImageMessage& message)
{
    if (mFault != ImageFault::kNone) {
        return false;
    }
    while (mPosition < mBlockCount) {
        if (mBodyStart != kNoOpenMessage) {
            // The body's data bytes, in one sweep: most of an image is nothing else.
            while (mPosition < mBlockCount && mBlock[mPosition] < kStatusBit && mBlock[mPosition] != kMessageSplit) {
                ++mPosition;
            }
            if (mPosition == mBlockCount) {
                break;
            }
        }
        const std::uint32_t offset = mBlockStart + mPosition;
        const std::uint8_t byte = mBlock[mPosition];
        ++mPosition;
        if (mBodyStart == kNoOpenMessage) {
            // Whatever stands between messages, or after the last one, is something the device would not get.
            if (byte != kSysExStart) {
                return Stop(ImageFault::kByteOutsideMessages, offset);
            }
            mMessageStart = offset;
            mBodyStart = offset + 1;
        } else if (byte == kSysExStart) {
            return Stop(ImageFault::kMessageInsideMessage, offset);
        } else if (byte == kSysExEnd || byte == kMessageSplit) {
            if (offset == mBodyStart) {
                return Stop(ImageFault::kEmptyMessage, offset);
            }
            message = ImageMessage{mBodyStart, offset - mBodyStart, offset};
            ++mMessageCount;
            mMessageStart = offset;
            mBodyStart = byte == kMessageSplit ? offset : kNoOpenMessage;
            return true;
        } else {
            // The sweep stops inside a message at nothing else.
            return Stop(ImageFault::kStatusByteInMessage, offset);
        }
    }
    if (mPastLargest) {
        return Stop(ImageFault::kTooLarge, kLargestFirmwareImage);
    }
    return false;
}

bool FirmwareImageWalker::Finish()
{
    if (mFault != ImageFault::kNone) {
        return false;
    }
    if (mBodyStart != kNoOpenMessage) {
        return Stop(ImageFault::kUnfinishedMessage, mMessageStart);
    }
    if (mMessageCount == 0) {
        return Stop(ImageFault::kNoMessage, 0);
    }
    return true;
}

bool FirmwareImageWalker::Stop(ImageFault fault, std::uint32_t offset)
{
    mFault = fault;
    mFaultOffset = offset;
    mPosition = mBlockCount;
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
    case ImageFault::kTooLarge:
        return "the file goes on past the largest image there can be";
    }
    return "unknown fault";
}

ImageCheck CheckFirmwareImage(const FirmwareImageBytes& image)
{
    FirmwareImageWalker walker;
    walker.Feed(image.GetData(), image.GetCount());
    WalkFedBytes(walker);
    walker.Finish();
    return CheckOf(walker);
}

ZVRESULT ReadFirmwareImage(const WideString& path, FirmwareImageBytes& image, ImageCheck& check)
{
    return ReadAndWalk(path, &image, check);
}

ZVRESULT CheckFirmwareImageFile(const WideString& path, ImageCheck& check)
{
    return ReadAndWalk(path, nullptr, check);
}

ZVRESULT CompareFirmwareImageFile(const WideString& path, const FirmwareImageBytes& image, bool& same)
{
    same = false;
    if (path.IsEmpty()) {
        return ZV_E_FAIL;
    }
    const ReadOnlyFile file(path);
    FirmwareImageBytes block;
    if (file.Get() < 0 || block.SetCount(kReadBlock) != static_cast<ZVRESULT>(kReadBlock)) {
        return ZV_E_FAIL;
    }
    const std::uint8_t* expected = image.GetData();
    std::uint32_t left = image.GetCount();
    for (;;) {
        const std::int64_t count = Platform::ReadFile(file.Get(), block.GetData(), kReadBlock);
        if (count < 0) {
            return ZV_E_FAIL;
        }
        if (count == 0) {
            same = left == 0;
            return ZV_S_OK;
        }
        const auto read = static_cast<std::uint32_t>(count);
        if (read > left || std::memcmp(block.GetData(), expected, read) != 0) {
            return ZV_S_OK;
        }
        expected += read;
        left -= read;
    }
}

void ReportImageRefusal(const ImageCheck& check)
{
    MutexLock lock(GetDebugOutputLock());
    GetDebugOutput().GetNarrowTarget() << "Firmware image refused at byte offset " << check.Offset << ": "
                                       << DescribeImageFault(check.Fault) << std::endl;
}
