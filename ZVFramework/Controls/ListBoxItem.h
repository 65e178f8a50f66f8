#pragma once

#include "ControlBase/Control.h"

#include <cstdint>

namespace ZV {

// The control of one row of a list box. It keeps no row data: the list fills it with the text, selection (its
// value, selected from 0.5) and flags of whichever row it shows at the moment, and it picks one of fourteen looks
// from that state and the pointer:
//   0 normal, 1 hot, 2 pressed, 3-5 the same marked, 6 disabled, 7-9 selected, 10-12 selected and marked,
//   13 separator, or disabled and selected.
// A skin with fewer looks keeps the look it has for the states it lacks.
class LListBoxItem : public LControl {
public:
    static constexpr std::int32_t kMarkedLooks = 3;
    static constexpr std::int32_t kDisabledLook = 6;
    static constexpr std::int32_t kSelectedLooks = 7;
    static constexpr std::int32_t kSelectedMarkedLooks = 10;
    static constexpr std::int32_t kSeparatorLook = 13;

    using LControl::LControl;

    // The look of the row state and the pointer.
    virtual std::int32_t GetLookIndex();
    // Selects the look of the state and redraws the item. 0.
    ZVRESULT RefreshLook();

    // A separator shows no text; turning it on empties the text, turning it off leaves the text to the list.
    void SetSeparator(bool separator);
    bool IsSeparator() const { return mSeparator; }
    // The list sets these and then refreshes the look itself.
    void SetMarkedLook(bool marked) { mMarkedLook = marked; }
    bool HasMarkedLook() const { return mMarkedLook; }
    // Presses on a pass-through item go to its parent, at the same place of the parent.
    void SetPassThrough(bool passThrough) { mPassThrough = passThrough; }
    bool IsPassThrough() const { return mPassThrough; }

    void OnValueChanged() override;
    void OnConditionsChanged(const RCPtr<LConditionsParam>& conditions) override;
    [[nodiscard]] ZVRESULT ApplyDescriptor(const RCPtr<LControlDescriptor>& descriptor) override;
    [[nodiscard]] ZVRESULT OnInitialized() override;
    // The row's own text while it does not fit.
    WideString GetToolTipText() const override;
    [[nodiscard]] ZVRESULT ProcessMouseDown(std::uint32_t button, std::int32_t x, std::int32_t y) override;

private:
    bool mMarkedLook = false;
    bool mPassThrough = false;
    bool mSeparator = false;
};

}  // namespace ZV
