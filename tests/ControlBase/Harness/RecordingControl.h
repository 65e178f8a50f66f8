#pragma once

#include "ControlBase/Control.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ZV::Testing {

// What recording controls did, in order: "name Hook" lines.
std::vector<std::string>& ControlEvents();

// A control that records its creation hooks, idle passes and child removals in ControlEvents, and counts the
// instances alive, so that tests see when a tree has gone.
class LRecordingControl : public LControl {
public:
    LRecordingControl(const RCPtr<LControl>& parent, const WideString& name);
    ~LRecordingControl() override;

    static std::int32_t GetLiveCount();

    [[nodiscard]] ZVRESULT ApplyDescriptor(const RCPtr<LControlDescriptor>& descriptor) override;
    [[nodiscard]] ZVRESULT CreateChildControls(const RCPtr<LControlDescriptor>& descriptor) override;
    [[nodiscard]] ZVRESULT Initialize() override;
    [[nodiscard]] ZVRESULT OnInitialized() override;
    void OnIdle(const RCPtr<LNotification>& idle) override;
    void OnChildRemoved(const RCPtr<LControl>& child, std::uint32_t index) override;

protected:
    void Record(const std::string& hook) const;
};

}  // namespace ZV::Testing
