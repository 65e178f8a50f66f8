#include "ControlBase/Harness/RecordingControl.h"

namespace ZV::Testing {

namespace {

std::int32_t gLiveRecordingControls = 0;

}  // namespace

std::vector<std::string>& ControlEvents()
{
    static std::vector<std::string> events;
    return events;
}

LRecordingControl::LRecordingControl(const RCPtr<LControl>& parent, const WideString& name) : LControl(parent, name)
{
    ++gLiveRecordingControls;
}

LRecordingControl::~LRecordingControl()
{
    --gLiveRecordingControls;
}

std::int32_t LRecordingControl::GetLiveCount()
{
    return gLiveRecordingControls;
}

void LRecordingControl::Record(const std::string& hook) const
{
    ControlEvents().push_back(std::string(GetName().ToUTF8().GetData()) + " " + hook);
}

ZVRESULT LRecordingControl::ApplyDescriptor(const RCPtr<LControlDescriptor>& descriptor)
{
    Record("ApplyDescriptor");
    return LControl::ApplyDescriptor(descriptor);
}

ZVRESULT LRecordingControl::CreateChildControls(const RCPtr<LControlDescriptor>& descriptor)
{
    Record("CreateChildControls");
    return LControl::CreateChildControls(descriptor);
}

ZVRESULT LRecordingControl::Initialize()
{
    Record("Initialize");
    return LControl::Initialize();
}

ZVRESULT LRecordingControl::OnInitialized()
{
    Record("OnInitialized");
    return LControl::OnInitialized();
}

void LRecordingControl::OnIdle(const RCPtr<LNotification>& idle)
{
    Record("OnIdle");
    LControl::OnIdle(idle);
}

void LRecordingControl::OnChildRemoved(const RCPtr<LControl>& child, std::uint32_t index)
{
    Record("OnChildRemoved " + std::string(child->GetName().ToUTF8().GetData()) + " " + std::to_string(index));
    LControl::OnChildRemoved(child, index);
}

}  // namespace ZV::Testing
