#pragma once

#include "ControlBase/ControlCreateFunction.h"
#include "ControlBase/LayoutDescriptor.h"
#include "ControlBase/SkinDescriptor.h"
#include "ControlBase/StringTable.h"
#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/RCPtrArray.h"
#include "Utilities/Storage/StringT.h"

namespace ZV {

class LControlDescriptor;

// What a descriptor's children, and every copy of them, reach their parent through. It holds nothing of the
// parent, so the tree has no cycle; the parent clears it when it goes, so no link outlives it.
class LDescriptorParentLink : public LRefCountedObject {
public:
    explicit LDescriptorParentLink(LControlDescriptor* parent) : mParent(parent) {}

    LControlDescriptor* GetParent() const { return mParent; }
    void Clear() { mParent = nullptr; }

private:
    LControlDescriptor* mParent;
};

// One control of a skin's tree: its class name, its name, its children and what the skin sets for it. A parent holds
// its children; they and the descriptors cloned from them reach it through a link that it clears when it goes.
class LControlDescriptor : public virtual LRefCountedObject {
public:
    // "Application" and the application's name for the root of a skin.
    LControlDescriptor(const WideString& className, const WideString& name, LControlDescriptor* parent);
    ~LControlDescriptor() override;

    const WideString& GetClass() const { return mClass; }
    const WideString& GetName() const { return mName; }
    void SetName(const WideString& name) { mName = name; }
    // Null for a root, and once the parent is gone.
    LControlDescriptor* GetParent() const { return mParentLink ? mParentLink->GetParent() : nullptr; }

    const RCPtrArray<LControlDescriptor>& GetSubControls() const { return mSubControls; }
    void AddSubControl(const RCPtr<LControlDescriptor>& child);
    // Children of equal layout order keep their order.
    void SortSubControlsByLayoutOrder();

    const RCPtr<LSkinDescriptor>& GetSkinDescriptor() const { return mSkin; }
    [[nodiscard]] ZVRESULT SetSkinDescriptor(const RCPtr<LSkinDescriptor>& skin);
    const RCPtr<LLayoutDescriptor>& GetLayoutDescriptor() const { return mLayout; }
    [[nodiscard]] ZVRESULT SetLayoutDescriptor(const RCPtr<LLayoutDescriptor>& layout);
    const RCPtr<LStringTable>& GetCreateParams() const { return mCreateParams; }
    [[nodiscard]] ZVRESULT SetCreateParams(const RCPtr<LStringTable>& createParams);

    // Kept by the factory once it has looked the class up.
    ControlCreateFunction GetCreateFunction() const { return mCreateFunction; }
    void SetCreateFunction(ControlCreateFunction function) { mCreateFunction = function; }

    // The layout is the sorting key of the children; none reads as the defaults.
    const SubControlSettings* GetSubControlSettings() const { return mLayout.Get(); }

    // A new descriptor with the same fields and a list of its own holding the same children.
    RCPtr<LControlDescriptor> Clone() const;

private:
    // The link that this descriptor's children take; made for the first of them.
    const RCPtr<LDescriptorParentLink>& GetLinkToSelf();

    WideString mClass;
    WideString mName;
    RCPtr<LDescriptorParentLink> mParentLink;
    RCPtr<LDescriptorParentLink> mLinkToSelf;
    RCPtrArray<LControlDescriptor> mSubControls;
    RCPtr<LSkinDescriptor> mSkin;
    RCPtr<LLayoutDescriptor> mLayout;
    RCPtr<LStringTable> mCreateParams;
    ControlCreateFunction mCreateFunction = nullptr;
};

}  // namespace ZV
