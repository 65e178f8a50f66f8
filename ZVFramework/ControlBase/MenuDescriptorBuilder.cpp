#include "ControlBase/MenuDescriptorBuilder.h"

#include "ControlBase/AppendItem.h"
#include "ControlBase/SkinValueSyntax.h"
#include "Utilities/Storage/StringArrayT.h"

namespace ZV {

namespace {

std::int32_t ReadNumber(const WideString& text)
{
    return SkinValueSyntax::ParsePlainInteger(text.ToUTF8().GetData());
}

// Fills menus from lists, refusing a group that is being built already further up: a group that names itself, or
// two that name each other, would otherwise nest without end.
class MenuBuild {
public:
    explicit MenuBuild(const MenuGroups& groups) : mGroups(groups) {}

    ZVRESULT Fill(const StringPairArray& list, LMenuDescriptor& menu)
    {
        for (std::uint32_t index = 0; index < list.GetCount(); ++index) {
            const ZVRESULT result = AddItem(list.GetData()[index], menu);
            if (Failed(result)) {
                return result;
            }
        }
        return ZV_S_OK;
    }

private:
    ZVRESULT AddItem(const StringPair& entry, LMenuDescriptor& menu)
    {
        const WideString& id = entry.first;
        const int bar = entry.second.Find(L"|");
        const WideString label = bar < 0 ? entry.second : entry.second.Left(static_cast<std::uint32_t>(bar));
        const WideString toolTip = bar < 0 ? WideString() : entry.second.MidToEnd(bar + 1);
        const std::uint32_t end = menu.GetItems().GetCount();

        if (!id.IsEmpty() && id.GetData()[id.GetLength() - 1] == L'.') {
            const WideString groupName = id.TrimRightChars(L".");
            const auto group = mGroups.find(groupName);
            if (group == mGroups.end() || mOpenGroups.Find(groupName, true) >= 0) {
                return ZV_S_OK;
            }
            const RCPtr<LMenuItemDescriptor> submenu = LMenuItemDescriptor::Create(label, WideString(), 1, 0);
            if (!toolTip.IsEmpty()) {
                submenu->SetToolTip(toolTip);
            }
            AppendItem(mOpenGroups, groupName);
            const ZVRESULT filled = Fill(group->second, *submenu);
            static_cast<void>(mOpenGroups.SetCount(mOpenGroups.GetCount() - 1));
            return Failed(filled) ? filled : menu.InsertItem(end, submenu);
        }
        if (id == L"-") {
            return menu.InsertSeparator(end);
        }
        const RCPtr<LMenuItemDescriptor> command = LMenuItemDescriptor::Create(label, id, 1, 0);
        command->SetToolTip(toolTip);
        return menu.InsertItem(end, command);
    }

    const MenuGroups& mGroups;
    WideStringArray mOpenGroups;
};

}  // namespace

RCPtr<LMenuDescriptor> CreateMenuDescriptor(const StringPairArray& entries)
{
    StringPairArray topLevel;
    MenuGroups groups;
    for (std::uint32_t index = 0; index < entries.GetCount(); ++index) {
        const StringPair& entry = entries.GetData()[index];
        const WideStringArray parts = entry.first.Split(L".");
        if (parts.GetCount() < 2) {
            continue;
        }
        const WideString& first = parts.GetData()[0];
        const bool grouped = !first.IsEmpty() && !(first.GetData()[0] >= L'0' && first.GetData()[0] <= L'9');
        const std::int32_t number = first.IsEmpty() ? -1 : ReadNumber(grouped ? parts.GetData()[1] : first);
        const std::uint32_t idPart = grouped ? 2 : 1;
        const WideString id = idPart < parts.GetCount() ? parts.GetData()[idPart] : WideString();

        StringPairArray& list = grouped ? groups[first] : topLevel;
        if (number == static_cast<std::int32_t>(list.GetCount())) {
            AppendItem(list, StringPair{id, entry.second});
        }
    }
    RCPtr<LMenuDescriptor> menu;
    return Succeeded(BuildMenuDescriptor(topLevel, groups, menu)) ? menu : nullptr;
}

ZVRESULT BuildMenuDescriptor(const StringPairArray& list, const MenuGroups& groups, RCPtr<LMenuDescriptor>& menu)
{
    if (!menu) {
        menu = LMenuDescriptor::Create();
    } else {
        menu->RemoveAllItems();
    }
    return MenuBuild(groups).Fill(list, *menu);
}

}  // namespace ZV
