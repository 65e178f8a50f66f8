#pragma once

#include "ControlBase/Harness/ControlHarness.h"
#include "TestFiles.h"
#include "Engine/UpdateProcessor.h"
#include "UI/MainControl.h"
#include "UI/ScriptedEngine.h"
#include "UI/UpdateProcessorSource.h"

#include <functional>
#include <string>

namespace ZV::Testing {

// The application's skin document (Resources/Skin/Skins.xml) as text.
std::string ApplicationSkinDocument();
// The application's string tables (Resources/Skin/StringTables.xml) as text.
std::string ApplicationStringsDocument();
// The document without the SubControl of that name (and what it holds).
std::string WithoutSubControl(const std::string& document, const std::string& name);
// The document with a copy of the "NEXT" button under another name beside it.
std::string WithButtonLikeNext(const std::string& document, const std::string& name);

// The main window as the program builds it, in the control harness's window: the application's string tables and
// a skin document (the application's unless given), the framework's control classes, and the main control. While it
// lives it is the application that hands the window its update processor, whose engines are made as the test says
// (scripted ones unless told otherwise). Every notification of the "application" centre that waits when it starts
// or ends is dropped.
class MainWindowHarness : public ControlHarness, public IUpdateProcessorSource {
public:
    explicit MainWindowHarness(const std::string& skinDocument = ApplicationSkinDocument(),
                               UpdateEngineFactory engines = &MakeScriptedEngine,
                               const std::string& stringsDocument = ApplicationStringsDocument());
    ~MainWindowHarness();

    static RCPtr<::LUpdateEngineInterface> MakeScriptedEngine();

    // Initialises the processor with the command line, which makes its engine.
    void StartProcessor(const WideString& commandLine = WideString());
    // Creates "mainControl" as the window's root. A throw passes on.
    void OpenWindow();
    void Start()
    {
        StartProcessor();
        OpenWindow();
    }

    const RCPtr<::LUpdateProcessor>& GetUpdateProcessor() const override { return mProcessor; }
    // The processor's current engine as the scripted one; fails the test when it is another.
    LScriptedEngine& Engine();
    LMainControl& Main() { return *mMain; }
    // The child of the main control of that name; fails the test when there is none.
    LControl& Child(const wchar_t* name);
    bool HasChild(const wchar_t* name) const;
    bool IsShown(const wchar_t* name);
    std::string TextOf(const wchar_t* name);

    // Posts to the "application" centre, as the engine does, and runs idle passes until it has been delivered.
    void Deliver(const wchar_t* id, const ConstRCPtr<LRefCountedObject>& parameter);
    // What the window does after every file-state report of the engine: everything follows the engine again.
    void Refresh();
    // The button reports a click, as a press and release over it does; then idle passes run until what the click set
    // going has ended.
    void Click(const wchar_t* name);
    // Runs idle passes until nothing waits in the queues and the window's work on the engine, if any, has ended.
    void PumpAll();
    // Runs idle passes, as the window's timer brings them, until the condition holds; false when it does not
    // within the bounded wait.
    bool PumpUntil(const std::function<bool()>& condition);

private:
    TemporaryFolder mStrings;
    RCPtr<::LUpdateProcessor> mProcessor;
    RCPtr<LMainControl> mMain;
};

}  // namespace ZV::Testing
