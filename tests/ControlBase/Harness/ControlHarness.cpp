#include "ControlBase/Harness/ControlHarness.h"

#include "ControlBase/SkinTestSupport.h"
#include "Notification/IdleProcessing.h"
#include "Utilities/Storage/Array.h"

#include <gtest/gtest.h>

namespace ZV::Testing {

ControlHarness::ControlHarness()
    : mFactory(new LControlFactory(L"Test")), mRenderer(new LRecordingRenderer()), mWindow(LFakeRootWindow::Create()),
      mPreviousControlServices(SetControlServices(this)), mPreviousRenderingServices(SetRenderingServices(this))
{
    mRenderer->SetFontMetrics(kLineHeight, -12, 4);
    Register<LRecordingControl>(L"Test.Control");
    ControlEvents().clear();
}

ControlHarness::~ControlHarness()
{
    // The window lets its root control go while the services are still the harness's.
    mWindow->SetRootControl(nullptr);
    mWindow = nullptr;
    SetRenderingServices(mPreviousRenderingServices);
    SetControlServices(mPreviousControlServices);
}

void ControlHarness::LoadSkin(const std::string& controls)
{
    LoadSkinDocument(ControlsDocument(controls));
}

void ControlHarness::LoadSkinDocument(const std::string& document)
{
    const std::string path = mFolder / ("skin" + std::to_string(++mDocuments) + ".xml");
    WriteContent(path, document);
    ASSERT_EQ(mFactory->LoadSkins(WideString(path.c_str())), 0) << Text(mFactory->GetLastParseError().text);
}

void ControlHarness::LoadStrings(const std::string& tables)
{
    const auto document = [](const std::string& inside) {
        return "<Z-Vireo_StringTable_Definitions><Application Name=\"Test\">" + inside +
               "</Application></Z-Vireo_StringTable_Definitions>";
    };
    const std::string path = mFolder / ("strings" + std::to_string(++mDocuments) + ".xml");
    const std::string framework = mFolder / "framework.xml";
    WriteContent(path, document(tables));
    WriteContent(framework, document(""));
    ASSERT_EQ(mFactory->LoadStringTables(WideString(path.c_str()), WideString(framework.c_str()), 9), 0);
}

RCPtr<LControl> ControlHarness::CreateRoot(const wchar_t* name)
{
    const RCPtr<LControl> control = mFactory->CreateControlByName(name, mWindow);
    if (control) {
        mWindow->SetRootControl(control);
    }
    return control;
}

ZVRESULT ControlHarness::GetSystemFont(WideString& faceName, float& size, std::int32_t& style)
{
    faceName = L"Harness Sans";
    size = 9;
    style = 0;
    return ZV_S_OK;
}

bool ControlHarness::PumpIdle()
{
    Array<IIdleProcessor*> windows;
    (void)windows.AddItem(mWindow.Get());
    return ProcessIdleNotifications(true, windows);
}

void ControlHarness::AdvanceTime(std::uint32_t milliseconds)
{
    mMilliseconds += milliseconds;
    mSeconds += milliseconds / 1000.0;
}

std::string SubControl(const std::string& className, const std::string& name, const std::string& attributes,
                       const std::string& children,
                       std::initializer_list<std::pair<std::string, std::string>> createParams)
{
    std::string element = "<SubControl Class=\"" + className + "\" Name=\"" + name + "\" " + attributes +
                          "><Skin Name=\"" + name + "Skin\">" + children + "</Skin>";
    if (createParams.size() != 0) {
        element += "<CreateParamList>";
        for (const auto& [id, text] : createParams) {
            element += "<CreateParam ID=\"" + id + "\">" + text + "</CreateParam>";
        }
        element += "</CreateParamList>";
    }
    return element + "</SubControl>";
}

std::string StringTable(const std::string& id, std::initializer_list<std::pair<std::string, std::string>> texts)
{
    std::string element = "<StringTable ID=\"" + id + "\">";
    for (const auto& [key, text] : texts) {
        element += "<String ID=\"" + key + "\"><Locale LCID=\"0x0009\">" + text + "</Locale></String>";
    }
    return element + "</StringTable>";
}

}  // namespace ZV::Testing
