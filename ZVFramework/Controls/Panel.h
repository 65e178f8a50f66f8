#pragma once

#include "Controls/ScrollView.h"

namespace ZV {

// The plain container of the skins, a scroll view that routes keys among its children: keys that reach its parent
// go on to its children, keys none of them takes climb to its parent and at the top to the hot keys, and Tab moves
// the focus through its children before it moves on past the panel. Also the scroll bar's channel.
class LPanel : public LScrollView {
public:
    using LScrollView::LScrollView;

    // Also hears the parent's sibling keys; a panel that cannot throws a "Failed Result".
    [[nodiscard]] ZVRESULT Initialize() override;
    // Shown in its first look, which also shows its children. 0.
    [[nodiscard]] ZVRESULT OnInitialized() override;
    // The children's hot keys, then the parent's handling; at the top the window's and the application's hot keys.
    void ProcessHotKey(const RCPtr<LKeyParam>& key) override;
    // Tab and Shift+Tab among the children, then on past the panel; Ctrl+Tab past the panel at once.
    void ProcessNavigationKey(const RCPtr<LKeyParam>& key) override;
    // Inside a parent the traversal never wraps: past the last child (or before the first) there is none.
    RCPtr<LControl> GetNextFocusableChild(const RCPtr<LControl>& from, bool backward) override;
    // Hears the new parent's sibling keys, for its children.
    void OnParentChanged() override;

protected:
    bool OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                     const RCPtr<LNotification>& notification) override;
    void EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor, const wchar_t* id) override;

private:
    // The handler of the parent's "NID_SIBLING_KEY": the key is offered to the panel's children, and one they take
    // goes no further. 1.
    std::int32_t OnParentSiblingKey(const ConstRCPtr<LNotificationDistributor>& sender,
                                    const RCPtr<LNotification>& notification);

    RCPtr<LNotificationHandler<LPanel>> mHandler;
};

}  // namespace ZV
