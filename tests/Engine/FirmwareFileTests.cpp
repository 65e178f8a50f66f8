#include "Engine/UpdateEngine.h"

#include "DebuggerOutputCapture.h"
#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace ZV::Testing {
namespace {

// What this process has read from files so far, as the kernel counts it.
std::uint64_t BytesReadByThisProcess()
{
    std::ifstream io("/proc/self/io");
    std::string name;
    std::uint64_t value = 0;
    while (io >> name >> value) {
        if (name == "rchar:") {
            return value;
        }
    }
    ADD_FAILURE() << "/proc/self/io holds no read count";
    return 0;
}

// A file of zeros that takes no room on the disk.
std::string SparseFile(const std::string& path, std::uintmax_t size)
{
    WriteContent(path, "");
    std::filesystem::resize_file(path, size);
    return path;
}

// Firmware files chosen as they stand on the disk.
class FirmwareFile : public EngineTest {
protected:
    struct Choice {
        std::int32_t FileState = 0;
        LUpdateEngineInterface::UpdateFailure Failure;
        std::uint64_t BytesRead = 0;
        std::vector<std::string> Said;
    };

    Choice Choose(const std::string& path)
    {
        const RCPtr<LUpdateEngine> engine = MakeEngine(mRig);
        const DebuggerOutputCapture debugger;
        const std::uint64_t before = BytesReadByThisProcess();
        (void)engine->SetFirmwareFile(Wide(path));
        return Choice{engine->GetFirmwareFileState(), engine->GetUpdateFailure(), BytesReadByThisProcess() - before,
                      debugger.Texts()};
    }

    static void ExpectRefused(const Choice& choice, ImageFault fault, std::uint32_t offset)
    {
        EXPECT_EQ(choice.FileState, LUpdateEngineInterface::kFileMissing);
        EXPECT_EQ(choice.Failure.Kind, LUpdateEngineInterface::FailureKind::kImageRefused);
        EXPECT_EQ(choice.Failure.Fault, fault);
        EXPECT_EQ(choice.Failure.Offset, offset);
        EXPECT_EQ(choice.Said, std::vector<std::string>{"Firmware image refused at byte offset " +
                                                        std::to_string(offset) + ": " + DescribeImageFault(fault) +
                                                        "\n"});
    }

    SimulatedMidiRig mRig{{QuickDevice(Simulator::DeviceStart::Absent, LogPath())}};
};

TEST_F(FirmwareFile, IsCheckedAsItIsReadAndRefusedAtItsFirstFaultWithoutReadingTheRest)
{
    constexpr std::uint64_t kReadingStoppedEarly = 1024 * 1024;

    const Choice zeros = Choose(SparseFile(mFolder / "zeros.syx", std::uintmax_t{1} << 30));
    ExpectRefused(zeros, ImageFault::kByteOutsideMessages, 0);
    EXPECT_LT(zeros.BytesRead, kReadingStoppedEarly) << "a GiB of zeros is refused at its first byte";

    ExpectRefused(Choose(WriteFile("trailing.syx", ParseHex("F0 01 02 F7 41 42 43"))),
                  ImageFault::kByteOutsideMessages, 4);

    // A status byte in the third read block, with megabytes of messages after it.
    Bytes image = MakeImage(2000, 98);
    image[150001] = 0x90;
    const Bytes rest = MakeImage(80000, 98);
    image.insert(image.end(), rest.begin(), rest.end());
    const Choice late = Choose(WriteFile("late.syx", image));
    ExpectRefused(late, ImageFault::kStatusByteInMessage, 150001);
    EXPECT_LT(late.BytesRead, kReadingStoppedEarly);

    // Messages that run across read blocks, one of them split by a 0x0D on the first byte of a block.
    Bytes whole = MakeImage(1000, 98);
    whole[65536] = 0x0D;
    const Choice fit = Choose(WriteFile("fit.syx", whole));
    EXPECT_EQ(fit.FileState, LUpdateEngineInterface::kFilePresent);
    EXPECT_TRUE(fit.Said.empty());
}

TEST_F(FirmwareFile, LargerThanAnyImageIsRefusedBeforeAByteOfItIsReadAndAPipeAsUnreadableAtOnce)
{
    constexpr std::uint64_t kNothingRead = 4096;
    for (const std::uintmax_t size : {std::uintmax_t{kLargestFirmwareImage} + 1, std::uintmax_t{5} << 30}) {
        SCOPED_TRACE(size);
        const Choice large = Choose(SparseFile(mFolder / "large.syx", size));
        ExpectRefused(large, ImageFault::kTooLarge, kLargestFirmwareImage);
        EXPECT_LT(large.BytesRead, kNothingRead);
    }
    ExpectRefused(Choose(SparseFile(mFolder / "largest.syx", kLargestFirmwareImage)),
                  ImageFault::kByteOutsideMessages, 0);

    const std::string pipe = mFolder / "pipe.syx";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const Choice unreadable = Choose(pipe);
    EXPECT_EQ(unreadable.FileState, LUpdateEngineInterface::kFileMissing);
    EXPECT_EQ(unreadable.Failure.Kind, LUpdateEngineInterface::FailureKind::kImageUnreadable);
}

}  // namespace
}  // namespace ZV::Testing
