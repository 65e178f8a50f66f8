#pragma once

#include "ControlBase/Control.h"
#include "ControlBase/ControlFactory.h"
#include "ControlBase/ControlServices.h"
#include "ControlBase/CreateControl.h"
#include "ControlBase/Harness/FakeRootWindow.h"
#include "ControlBase/Harness/RecordingControl.h"
#include "Renderer/RecordingRenderer.h"
#include "Renderer/RenderingServices.h"
#include "System/GlobalHotKeyManager.h"
#include "TestFiles.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>

namespace ZV::Testing {

// Control trees without a window. While it lives, the harness is the application that controls see: a factory
// named "Test" with "Test.Control" registered (an LRecordingControl), a millisecond and a seconds clock that move
// only when the test advances them, the recording renderer as the measurement renderer (7 pixels a character,
// lines 16 high) and a system font of its own. It has one fake root window, and pumps idle passes by hand. Skins and
// string tables are written in the tests. The control events are emptied when it starts.
class ControlHarness : public IControlServices, public IRenderingServices {
public:
    static constexpr zlong kLineHeight = 16;

    ControlHarness();
    ControlHarness(const ControlHarness&) = delete;
    ControlHarness& operator=(const ControlHarness&) = delete;
    ~ControlHarness();

    LControlFactory& Factory() { return *mFactory; }
    LFakeRootWindow& Window() { return *mWindow; }
    const RCPtr<LFakeRootWindow>& WindowRef() const { return mWindow; }
    LRecordingRenderer& Renderer() { return *mRenderer; }

    // Registers the create function of T under the class name.
    template <class T>
    void Register(const wchar_t* className)
    {
        (void)mFactory->RegisterControlCreateFunction(className, &CreateControl<T>);
    }

    // Loads a skin whose top-level Skin holds the controls (SubControl elements); a document the factory refuses
    // fails the test.
    void LoadSkin(const std::string& controls);
    // Loads a whole skin document (colorizers, parts, looks and controls: SkinDocumentBuilder writes one).
    void LoadSkinDocument(const std::string& document);
    // Loads string tables (StringTable elements) for English; the tables of top-level controls have the IDs
    // "|Test" and "Test|" plus the control's name, the tables of children their parent's class, "|" and their name.
    void LoadStrings(const std::string& tables);

    // The top-level control of that name, made by the factory in the window and installed as its root control.
    RCPtr<LControl> CreateRoot(const wchar_t* name);

    // One idle pass of the application: its notification centres, then the window; true while notifications wait.
    bool PumpIdle();
    void AdvanceTime(std::uint32_t milliseconds);

    RCPtr<LControlFactory> GetControlFactory() override { return mFactory; }
    double GetTimeSeconds() override { return mSeconds; }
    zulong GetTimeMs() override { return mMilliseconds; }
    RCPtr<LMeasurementRenderer> GetMeasurementRenderer() override { return mRenderer; }
    RCPtr<LGlobalHotKeyManager> GetHotKeyManager() override { return mApplicationHotKeys; }
    // The application's hot keys from now on; none unless set.
    void SetApplicationHotKeys(const RCPtr<LGlobalHotKeyManager>& hotKeys) { mApplicationHotKeys = hotKeys; }
    // "Harness Sans" at 9 points: the fonts of the controls do not depend on the machine's.
    ZVRESULT GetSystemFont(WideString& faceName, float& size, std::int32_t& style) override;

private:
    TemporaryFolder mFolder;
    int mDocuments = 0;
    RCPtr<LControlFactory> mFactory;
    RCPtr<LRecordingRenderer> mRenderer;
    RCPtr<LFakeRootWindow> mWindow;
    std::uint32_t mMilliseconds = 0;
    double mSeconds = 0;
    RCPtr<LGlobalHotKeyManager> mApplicationHotKeys;
    IControlServices* mPreviousControlServices;
    IRenderingServices* mPreviousRenderingServices;
};

// A SubControl element: its class, name and attributes, with the children (SubControl elements) and create
// parameters given.
std::string SubControl(const std::string& className, const std::string& name, const std::string& attributes = "",
                       const std::string& children = "",
                       std::initializer_list<std::pair<std::string, std::string>> createParams = {});

// A StringTable element with its texts for English.
std::string StringTable(const std::string& id, std::initializer_list<std::pair<std::string, std::string>> texts);

}  // namespace ZV::Testing
