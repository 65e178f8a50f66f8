#include "UI/MainWindowHarness.h"

#include "ControlBase/CreateControl.h"
#include "Controls/FrameworkControlClasses.h"
#include "Engine/UpdateNotificationData.h"
#include "Notification/Notification.h"
#include "Notification/NotificationCenterManager.h"
#include "TestFiles.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace ZV::Testing {

namespace {

const std::string kSkinFolder = std::string(ZV_RESOURCES_DIR) + "/Skin";

// The element of the SubControl that bears the name: from its "<SubControl" to its own "</SubControl>".
std::pair<std::size_t, std::size_t> FindSubControl(const std::string& document, const std::string& name)
{
    const std::size_t nameAt = document.find("Name=\"" + name + "\"");
    if (nameAt == std::string::npos) {
        ADD_FAILURE() << "the skin has no " << name;
        return {0, 0};
    }
    const std::size_t start = document.rfind("<SubControl", nameAt);
    int depth = 0;
    for (std::size_t at = start; at < document.size();) {
        const std::size_t open = document.find("<SubControl", at + 1);
        const std::size_t close = document.find("</SubControl>", at + 1);
        if (close == std::string::npos) {
            break;
        }
        if (open < close) {
            ++depth;
            at = open;
        } else if (depth-- == 0) {
            return {start, close + std::string("</SubControl>").size()};
        } else {
            at = close;
        }
    }
    ADD_FAILURE() << "the skin's " << name << " does not end";
    return {0, 0};
}

}  // namespace

std::string ApplicationSkinDocument()
{
    return ContentOf(kSkinFolder + "/Skins.xml");
}

std::string ApplicationStringsDocument()
{
    return ContentOf(kSkinFolder + "/StringTables.xml");
}

std::string WithoutSubControl(const std::string& document, const std::string& name)
{
    const auto [start, end] = FindSubControl(document, name);
    std::string changed = document;
    return changed.erase(start, end - start);
}

std::string WithButtonLikeNext(const std::string& document, const std::string& name)
{
    const std::string next = "buttonManualDeviceHasUpdatedRescanButton";
    const auto [start, end] = FindSubControl(document, next);
    std::string copy = document.substr(start, end - start);
    for (std::size_t at = copy.find(next); at != std::string::npos; at = copy.find(next, at + name.size())) {
        copy.replace(at, next.size(), name);
    }
    std::string changed = document;
    return changed.insert(end, copy);
}

MainWindowHarness::MainWindowHarness(const std::string& skinDocument, UpdateEngineFactory engines,
                                     const std::string& stringsDocument)
    : mProcessor(new ::LUpdateProcessor())
{
    GetApplicationNotificationCenter()->Clear();
    mProcessor->SetEngineFactory(std::move(engines));
    EXPECT_EQ(RegisterFrameworkControlClasses(Factory()), 0);
    Register<LMainControl>(LMainControl::kClassName);
    const std::string strings = mStrings / "StringTables.xml";
    WriteContent(strings, stringsDocument);
    EXPECT_EQ(Factory().LoadStringTables(WideString(strings.c_str()),
                                         WideString((kSkinFolder + "/FrameworkStrings.xml").c_str()), 9),
              0);
    Factory().SetImagePrefix(WideString((kSkinFolder + "/").c_str()));
    LoadSkinDocument(skinDocument);
}

MainWindowHarness::~MainWindowHarness()
{
    if (mMain) {
        // The window's work on the engine must not outlive the test's own steps.
        PumpAll();
    }
    Window().SetRootControl(nullptr);
    mMain = nullptr;
    mProcessor = nullptr;
    GetApplicationNotificationCenter()->Clear();
}

RCPtr<::LUpdateEngineInterface> MainWindowHarness::MakeScriptedEngine()
{
    return LScriptedEngine::Create();
}

void MainWindowHarness::StartProcessor(const WideString& commandLine)
{
    (void)mProcessor->Initialize(commandLine);
}

void MainWindowHarness::OpenWindow()
{
    const RCPtr<LControl> root = CreateRoot(L"mainControl");
    mMain = RCPtr<LMainControl>(dynamic_cast<LMainControl*>(root.Get()));
    ASSERT_TRUE(mMain) << "the skin's mainControl is the main control";
}

LScriptedEngine& MainWindowHarness::Engine()
{
    auto* engine = dynamic_cast<LScriptedEngine*>(mProcessor->GetEngine().Get());
    if (engine == nullptr) {
        ADD_FAILURE() << "the processor's engine is not scripted";
        throw std::logic_error("no scripted engine");
    }
    return *engine;
}

LControl& MainWindowHarness::Child(const wchar_t* name)
{
    const RCPtr<LControl>& child = mMain->FindChildByName(name);
    if (!child) {
        ADD_FAILURE() << "the main control has no " << WideString(name).ToUTF8().GetData();
        throw std::logic_error("no such child");
    }
    return *child;
}

bool MainWindowHarness::HasChild(const wchar_t* name) const
{
    return static_cast<bool>(mMain->FindChildByName(name));
}

bool MainWindowHarness::IsShown(const wchar_t* name)
{
    return Child(name).GetSubControlSettings()->isVisible;
}

std::string MainWindowHarness::TextOf(const wchar_t* name)
{
    return Child(name).GetText().ToUTF8().GetData();
}

void MainWindowHarness::Deliver(const wchar_t* id, const ConstRCPtr<LRefCountedObject>& parameter)
{
    ASSERT_EQ(GetApplicationNotificationCenter()->PostNotification(LNotification::Create(id, parameter)), 0);
    PumpAll();
}

void MainWindowHarness::Refresh()
{
    const std::int32_t fileState = mProcessor->GetEngine()->GetFirmwareFileState();
    Deliver(kNidFirmwareFileStateChange, LFirmwareFileStateChangeNotificationData::Create(fileState, fileState));
}

void MainWindowHarness::Click(const wchar_t* name)
{
    (void)Child(name).SendNotification(LNotification::Create(L"NID_LEFT_CLICK", nullptr));
    PumpAll();
}

void MainWindowHarness::PumpAll()
{
    // A pass may post into a queue that it has served already, and the window's work on the engine is taken at the
    // first pass after it has ended.
    const auto deadline = std::chrono::steady_clock::now() + kBoundedWait;
    for (int pass = 0; pass < 100;) {
        const bool more = PumpIdle();
        const bool pending =
            more || GetApplicationNotificationCenter()->GetQueuedCount() != 0 || Window().GetQueuedCount() != 0;
        if (mMain && mMain->IsEngineWorkUnderWay()) {
            if (std::chrono::steady_clock::now() > deadline) {
                ADD_FAILURE() << "the window's work on the engine does not end";
                return;
            }
            // Its thread ends without a signal to wait on; the window's timer looks just as often.
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            continue;
        }
        if (!pending) {
            return;
        }
        ++pass;
    }
    ADD_FAILURE() << "the queues do not run dry";
}

bool MainWindowHarness::PumpUntil(const std::function<bool()>& condition)
{
    const auto deadline = std::chrono::steady_clock::now() + kBoundedWait;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        // The engine's worker posts without a signal to wait on; the window's timer looks just as often.
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        PumpAll();
    }
    return true;
}

}  // namespace ZV::Testing
