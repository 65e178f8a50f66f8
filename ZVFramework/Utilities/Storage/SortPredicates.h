#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/IArray.h"

#include <type_traits>

namespace ZV {

// The sub-control settings of a control or descriptor (whatever its GetSubControlSettings() points at); a missing
// record reads as the defaults.
template <class Pointer>
const auto& SettingsOf(const Pointer& item)
{
    using Settings = std::remove_cvref_t<decltype(*item->GetSubControlSettings())>;
    static const Settings defaults;
    const Settings* settings = item ? item->GetSubControlSettings() : nullptr;
    return settings != nullptr ? *settings : defaults;
}

// Descriptors by "LayoutOrder".
struct DescriptorLayoutOrderLess {
    template <class Pointer>
    bool operator()(const Pointer& a, const Pointer& b) const
    {
        return SettingsOf(a).layoutOrder < SettingsOf(b).layoutOrder;
    }
};

// Indices of children by "TabStop", ties by index.
template <class Control>
class TabStopLess {
public:
    explicit TabStopLess(const IArray<RCPtr<Control>>& children) : mChildren(&children) {}

    bool operator()(const unsigned int& a, const unsigned int& b) const
    {
        const std::int32_t tabStopA = SettingsOf(mChildren->GetData()[a]).tabStop;
        const std::int32_t tabStopB = SettingsOf(mChildren->GetData()[b]).tabStop;
        return tabStopA != tabStopB ? tabStopA < tabStopB : a < b;
    }

private:
    const IArray<RCPtr<Control>>* mChildren;
};

// Indices of children in drawing order: clipped before unclipped, then fewer docked axes, then "Z_Order", then
// index.
template <class Control>
class ZOrderLess {
public:
    explicit ZOrderLess(const IArray<RCPtr<Control>>& children) : mChildren(&children) {}

    bool operator()(const unsigned int& a, const unsigned int& b) const
    {
        const auto& settingsA = SettingsOf(mChildren->GetData()[a]);
        const auto& settingsB = SettingsOf(mChildren->GetData()[b]);
        if (settingsA.clipToParent != settingsB.clipToParent) {
            return settingsA.clipToParent;
        }
        const int dockedA = settingsA.xIsDocked + settingsA.yIsDocked;
        const int dockedB = settingsB.xIsDocked + settingsB.yIsDocked;
        if (dockedA != dockedB) {
            return dockedA < dockedB;
        }
        if (settingsA.zOrder != settingsB.zOrder) {
            return settingsA.zOrder < settingsB.zOrder;
        }
        return a < b;
    }

private:
    const IArray<RCPtr<Control>>* mChildren;
};

// Records of a value and a signed key, by key; used with a stable sort.
struct SecondFieldLess {
    template <class Record>
    bool operator()(const Record& a, const Record& b) const
    {
        return a.second < b.second;
    }
};

}  // namespace ZV
