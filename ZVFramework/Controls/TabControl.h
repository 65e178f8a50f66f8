#pragma once

#include "Controls/Panel.h"

#include <cstdint>

namespace ZV {

// A panel that pairs tab buttons with pages by name: the children of its sub-control "buttonHolder" are the tab
// buttons, those of "pageHolder" the pages, and a button and its page have the same name. Selecting a tab gives its
// buttons the value 1.0 and the others 0.0, shows its pages and hides the others, and sends "NID_TAB_SELECTED" with
// the page shown (empty when none has the name). A click on a button selects its tab; the first button's tab is
// selected from the start.
class LTabControl : public LPanel {
public:
    using LPanel::LPanel;

    // The pages; 0 without "pageHolder".
    virtual std::uint32_t GetPageCount() const;
    // The last page of the name; -1 when none has it.
    virtual std::int32_t IndexOfPage(const WideString& name) const;
    virtual std::int32_t GetSelectedPageIndex() const;
    // Null when no page has the selected name.
    virtual RCPtr<LControl> GetSelectedPage() const;
    virtual const WideString& GetSelectedPageName() const;
    virtual RCPtr<LControl> GetPage(const WideString& name) const;
    // Null for an index past the pages.
    virtual RCPtr<LControl> GetPageAt(std::uint32_t index) const;
    // The tab of the name, also when no button or page has it. 0; 0x80004005 without "buttonHolder", and without
    // "pageHolder" once the buttons are set.
    [[nodiscard]] virtual ZVRESULT SelectTab(const WideString& name);
    // The tab of the button at the index. 0x80004005 without "buttonHolder" or for an index past its buttons.
    [[nodiscard]] virtual ZVRESULT SelectTabAt(std::uint32_t index);
    // Called after every selection with the selected page's index.
    virtual void OnTabSelected(std::int32_t index);

    // 0x80004005 without buttons to select from.
    [[nodiscard]] ZVRESULT Initialize() override;
    // A new skin's buttons and pages follow the selection.
    [[nodiscard]] ZVRESULT ApplyDescriptor(const RCPtr<LControlDescriptor>& descriptor) override;

protected:
    bool OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                     const RCPtr<LNotification>& notification) override;
    void EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor, const wchar_t* id) override;

private:
    std::int32_t OnTabButtonClick(const ConstRCPtr<LNotificationDistributor>& sender,
                                  const RCPtr<LNotification>& notification);

    RCPtr<LNotificationHandler<LTabControl>> mOwnHandler;
    RCPtr<LPanel> mButtonHolder;
    RCPtr<LPanel> mPageHolder;
    WideString mSelectedName;
};

}  // namespace ZV
