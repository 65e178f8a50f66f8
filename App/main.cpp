#include "App/Application.h"
#include "App/CommandLine.h"
#include "Application/MFCFrameworkApp.h"
#include "Application/StartupError.h"
#include "Platform/LibraryVariables.h"
#include "Platform/StandardError.h"
#include "Platform/TerminationRequests.h"
#include "Simulator/SimulatedMidiDriver.h"

#include <string>

int main(int argumentCount, char** arguments)
{
    // Before anything else: a request to end at any moment gets the run's own end, never the system's default one.
    ZV::Platform::HoldTerminationRequests();
    ZV::Platform::IgnoreClosedPipes();
    ZV::Platform::KeepStandardStreamsOpen();
    // Before any thread reads the environment: the libraries never see what the program refuses of it.
    ZV::Platform::DropRefusedLibraryVariables();
    ZV::WideString commandLine;
    std::string refusal;
    if (!JoinCommandLine(argumentCount, arguments, commandLine, refusal)) {
        ZV::RefuseStart(refusal);
        return ZV::MFCFrameworkApp<LApplication>::kExitStartupFailure;
    }
    ZV::Simulator::RegisterSimulatedMidiDriver();
    ZV::MFCFrameworkApp<LApplication> program;
    return program.Main(commandLine);
}
