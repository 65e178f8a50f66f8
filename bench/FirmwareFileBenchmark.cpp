#include "Engine/FirmwareImage.h"
#include "Platform/FileSystem.h"
#include "ProcessMemory.h"
#include "SideBySide.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// A name of its own, so that runs side by side do not remove each other's files.
std::filesystem::path BenchmarkFile(const std::string& name)
{
    return std::filesystem::temp_directory_path() /
           ("zv-firmware-benchmark-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) +
            "-" + name);
}

ImageCheck CheckFile(const ZV::WideString& path)
{
    ImageCheck check;
    benchmark::DoNotOptimize(CheckFirmwareImageFile(path, check));
    return check;
}

// Whether the file can be read and the walk ends with the fault.
bool IsCheckedAs(const ZV::WideString& path, ImageFault fault)
{
    ImageCheck check;
    return ZV::Succeeded(CheckFirmwareImageFile(path, check)) && check.Fault == fault;
}

// A GiB of zeros (a sparse file), refused at its first byte, side by side with a file of one zero byte refused for the
// same fault: a ratio near 1 is a refusal that does not grow with the file. peak_MiB is how far the peak resident
// memory grew over all rounds, read_KiB what one round of both refusals read.
void FirmwareFileOfAGibibyteOfZerosAgainstOneZeroByte(benchmark::State& state)
{
    const std::filesystem::path large = BenchmarkFile("zeros.syx");
    const std::filesystem::path small = BenchmarkFile("zero.syx");
    std::ofstream(large, std::ios::binary).close();
    std::filesystem::resize_file(large, std::uintmax_t{1} << 30);
    std::ofstream(small, std::ios::binary).put('\0');
    const ZV::WideString largePath(large.string().c_str());
    const ZV::WideString smallPath(small.string().c_str());
    if (!IsCheckedAs(largePath, ImageFault::kByteOutsideMessages) ||
        !IsCheckedAs(smallPath, ImageFault::kByteOutsideMessages)) {
        state.SkipWithError("the files were not refused at their first byte");
    }

    bench::ResetPeakMemory();
    const std::uint64_t residentBefore = bench::ProcessFigure("/proc/self/status", "VmRSS:");
    const std::uint64_t readBefore = bench::ProcessFigure("/proc/self/io", "rchar:");
    bench::RunRoundsSideBySide(
        state, 1.0, [&] { benchmark::DoNotOptimize(CheckFile(largePath)); },
        [&] { benchmark::DoNotOptimize(CheckFile(smallPath)); });
    const std::uint64_t read = bench::ProcessFigure("/proc/self/io", "rchar:") - readBefore;
    const std::uint64_t residentPeak = bench::ProcessFigure("/proc/self/status", "VmHWM:");
    state.counters["peak_MiB"] = static_cast<double>(residentPeak - residentBefore) / 1024.0;
    state.counters["read_KiB"] = static_cast<double>(read) / 1024.0 / static_cast<double>(state.iterations());
    std::filesystem::remove(large);
    std::filesystem::remove(small);
}
BENCHMARK(FirmwareFileOfAGibibyteOfZerosAgainstOneZeroByte)->UseManualTime()->Unit(benchmark::kMillisecond);

// An image of 64 MiB that is fit to send, checked as it is read, side by side with the file read whole and then
// checked: a ratio at or below 1 is a check that costs no more for reading in blocks.
void FitImageCheckedAsItIsReadAgainstReadWholeThenChecked(benchmark::State& state)
{
    constexpr std::uint32_t kMessages = 64 * 1024;
    constexpr std::uint32_t kBodyLength = 1022;
    const std::filesystem::path image = BenchmarkFile("image.syx");
    {
        std::string message(kBodyLength + 2, '\0');
        message.front() = static_cast<char>(0xF0);
        message.back() = static_cast<char>(0xF7);
        std::ofstream file(image, std::ios::binary);
        for (std::uint32_t index = 0; index < kMessages; ++index) {
            for (std::uint32_t body = 1; body <= kBodyLength; ++body) {
                message[body] = static_cast<char>((index + body) % 0x0D);
            }
            file.write(message.data(), static_cast<std::streamsize>(message.size()));
        }
    }
    const ZV::WideString path(image.string().c_str());
    const std::string utf8Path = image.string();
    if (!IsCheckedAs(path, ImageFault::kNone)) {
        state.SkipWithError("the image was refused");
    }

    bench::RunRoundsSideBySide(
        state, 1.0, [&] { benchmark::DoNotOptimize(CheckFile(path)); },
        [&] {
            const int descriptor = ZV::Platform::OpenFile(utf8Path.c_str(), {});
            std::uint64_t size = 0;
            FirmwareImageBytes bytes;
            if (descriptor >= 0 && ZV::Platform::GetFileSize(descriptor, size) &&
                bytes.SetCount(static_cast<std::uint32_t>(size)) == static_cast<ZV::ZVRESULT>(size) &&
                ZV::Platform::ReadFile(descriptor, bytes.GetData(), size) == static_cast<std::int64_t>(size)) {
                benchmark::DoNotOptimize(CheckFirmwareImage(bytes));
            }
            if (descriptor >= 0) {
                ZV::Platform::CloseFile(descriptor);
            }
        });
    std::filesystem::remove(image);
}
BENCHMARK(FitImageCheckedAsItIsReadAgainstReadWholeThenChecked)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
