#include "SideBySide.h"

#include "App/CommandLine.h"
#include "Engine/UpdateProcessor.h"
#include "Utilities/Debug/DebugConsoleSwitch.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

// That many arguments, "-SILENT" the last of them: before it names that begin like the switches without being them,
// and paths with blanks, quotes and backslashes, so that every argument is looked at and written with escapes.
std::vector<std::string> MakeArguments(std::size_t count)
{
    static const char* const kArguments[] = {"-SILENTLY", "-DEBUG_CONSOLES", "/tmp/my images/a \"b\" c.syx",
                                             "-ABSOLUTE_FIRMWARE_FILE_PATH=/tmp/x\\ \"y\\\\.syx\"", "word"};
    std::vector<std::string> arguments{"FirmwareUpdater"};
    for (std::size_t index = 1; index < count; ++index) {
        arguments.emplace_back(kArguments[index % std::size(kArguments)]);
    }
    arguments.emplace_back("-SILENT");
    return arguments;
}

// What the program does with its arguments up to its first switch decisions: it joins them into its command line,
// looks for the debug switch and then for "-SILENT".
void DecideFirstSwitches(const std::vector<std::string>& arguments)
{
    std::vector<const char*> pointers;
    for (const std::string& argument : arguments) {
        pointers.push_back(argument.c_str());
    }
    ZV::WideString commandLine;
    std::string refusal;
    benchmark::DoNotOptimize(
        JoinCommandLine(static_cast<int>(pointers.size()), pointers.data(), commandLine, refusal));
    ZV::DebugOutput output;
    ZV::ApplyDebugConsoleSwitch(commandLine.ToUTF8().GetData(), output);
    ZV::WideString value;
    if (!LUpdateProcessor::FindSwitch(commandLine, ZV::WideString(L"-SILENT"), value)) {
        std::abort();
    }
}

constexpr std::size_t kFewArguments = 64;
constexpr std::size_t kManyArguments = 65536;

// Start-up with 65,536 arguments, side by side with 64: a ratio near 1,024 is linear time, far above it quadratic.
void StartWithManyArgumentsAgainstFew(benchmark::State& state)
{
    const std::vector<std::string> many = MakeArguments(kManyArguments);
    const std::vector<std::string> few = MakeArguments(kFewArguments);
    bench::RunRoundsSideBySide(
        state, kManyArguments, [&] { DecideFirstSwitches(many); }, [&] { DecideFirstSwitches(few); });
}
// Two seconds of rounds at the least, so that a round of the large start that the scheduler cut into weighs little.
BENCHMARK(StartWithManyArgumentsAgainstFew)->UseManualTime()->MinTime(2.0)->Unit(benchmark::kMillisecond);

}  // namespace
