#include "ControlBase/MenuDescriptorBuilder.h"

#include "StringTableTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ZV {
namespace {

std::string MenuText(const WideString& text)
{
    return text.ToUTF8().GetData();
}

// One line per item, depth-first and indented by depth: label, id, tool tip, flags; every item's parent checked.
std::vector<std::string> MenuLines(const LMenuDescriptor& menu, const std::string& indent = "")
{
    std::vector<std::string> lines;
    for (std::uint32_t i = 0; i < menu.GetItems().GetCount(); ++i) {
        const LMenuItemDescriptor& item = *menu.GetItems().GetData()[i];
        lines.push_back(indent + (item.IsSeparator() ? "---" : MenuText(item.ToString())) + " [" +
                        MenuText(item.GetNotificationId()) + "] {" + MenuText(item.GetToolTip()) + "} " +
                        std::to_string(item.GetEnabled()) + std::to_string(item.GetChecked()));
        EXPECT_EQ(item.GetParent(), &menu) << lines.back();
        const std::vector<std::string> submenu = MenuLines(item, indent + "  ");
        lines.insert(lines.end(), submenu.begin(), submenu.end());
    }
    return lines;
}

StringPairArray Pairs(std::initializer_list<std::pair<const wchar_t*, const wchar_t*>> pairs)
{
    StringPairArray array;
    for (const auto& [id, text] : pairs) {
        static_cast<void>(array.AddItem(StringPair{id, text}));
    }
    return array;
}

RCPtr<LMenuDescriptor> MenuWithSubmenu()
{
    RCPtr<LMenuDescriptor> menu;
    EXPECT_EQ(BuildMenuDescriptor(Pairs({{L"NID_TOP", L"Top"}, {L"SUB.", L"More|More things"}}),
                                  {{L"SUB", Pairs({{L"NID_INNER", L"Inner|Inner tip"}, {L"-", L""}})}}, menu),
              0);
    return menu;
}

// Counts the descriptors alive: each one marked carries one as its tag.
class LLifeMark : public LRefCountedObject {
public:
    static inline int sLiving = 0;
    LLifeMark() { ++sLiving; }
    ~LLifeMark() override { --sLiving; }
};

void MarkTree(LMenuDescriptor& menu)
{
    menu.SetTag(new LLifeMark());
    for (std::uint32_t i = 0; i < menu.GetItems().GetCount(); ++i) {
        MarkTree(*menu.GetItems().GetData()[i]);
    }
}

TEST(MenuDescriptor, NumberedMenusOfTheDemoTableKeepTheirItemsUpToTheFirstGap)
{
    const RCPtr<LStringTable> table =
        Testing::FactoryWithDemoStrings(0x0409)->GetControlStringTable(nullptr, L"mainPanel");
    const RCPtr<LMenuDescriptor> file = CreateMenuDescriptor(Testing::EntriesAfterPrefix(*table, L"CONTEXT_MENU0."));
    EXPECT_EQ(MenuLines(*file), (std::vector<std::string>{"Open [NID_FILE_OPEN_REQ] {Open a skin file} 10",
                                                           "--- [] {} 10",
                                                           "Exit [NID_APP_EXIT_REQ] {Exit the demo|now} 10"}));
    EXPECT_EQ(MenuLines(*CreateMenuDescriptor(Testing::EntriesAfterPrefix(*table, L"CONTEXT_MENU1."))),
              std::vector<std::string>{"Help topics [NID_HELP_REQ] {} 10"});
    StringPairArray all;
    table->GetAllEntries(all);
    EXPECT_TRUE(MenuLines(*CreateMenuDescriptor(all)).empty()) << "groups that no item names, and LABEL of one part";

    MenuItemInfo info;
    EXPECT_EQ(file->GetItemInfo(2, info), 0);
    EXPECT_EQ(info.enabled * 10 + info.checked, 10);
    EXPECT_EQ(MenuText(info.label), "Exit");
    EXPECT_EQ(file->GetItemInfo(3, info), ZV_E_INVALIDARG);
    EXPECT_TRUE(info.enabled == 0 && info.label.IsEmpty()) << "cleared";
}

TEST(MenuDescriptor, KeysNumberTheirItemsOutsideOrInsideAGroupAndAGroupNeverNestsInsideItself)
{
    EXPECT_EQ(MenuLines(*CreateMenuDescriptor(Pairs({{L"0.NID_A", L"A"}, {L"1.NID_B.extra", L"B"}, {L"01.NID_X", L"X"},
                                                 {L"2", L"one part"}, {L"2.", L"one part"}, {L".2.NID_X", L"X"},
                                                 {L"G.0.NID_X", L"in group G"}, {L"2.-", L"-"}}))),
              (std::vector<std::string>{"A [NID_A] {} 10", "B [NID_B] {} 10", "--- [] {} 10"}));
    EXPECT_EQ(MenuLines(*MenuWithSubmenu()), (std::vector<std::string>{"Top [NID_TOP] {} 10",
                                                                        "More [] {More things} 10",
                                                                        "  Inner [NID_INNER] {Inner tip} 10",
                                                                        "  --- [] {} 10"}));
    const MenuGroups cycle{{L"A", Pairs({{L"NID_A", L"a"}, {L"B..", L"to b"}})},
                           {L"B", Pairs({{L"A.", L"back to a"}, {L"B.", L"to itself"}})}};
    RCPtr<LMenuDescriptor> menu = LMenuDescriptor::Create();
    EXPECT_TRUE(Succeeded(menu->InsertSeparator(0)));
    EXPECT_EQ(BuildMenuDescriptor(Pairs({{L"A.", L"Start"}, {L"NONE.", L"no such group"}}), cycle, menu), 0);
    EXPECT_EQ(MenuLines(*menu), (std::vector<std::string>{"Start [] {} 10", "  a [NID_A] {} 10", "  to b [] {} 10"}))
        << "the menu passed in was emptied first";
}

TEST(MenuDescriptor, ACloneIsAnIndependentDeepCopyAndTreesGoWithTheirLastOutsideReference)
{
    const RCPtr<LMenuDescriptor> original = MenuWithSubmenu();
    const RCPtr<LMenuDescriptor> clone = original->Clone();
    EXPECT_EQ(MenuLines(*clone), MenuLines(*original)) << "every copy's parent is a copy";
    const RCPtr<LMenuItemDescriptor> more = clone->GetItems().GetData()[1];
    EXPECT_NE(more.Get(), original->GetItems().GetData()[1].Get());
    EXPECT_EQ(more->Clone()->GetParent(), nullptr);
    EXPECT_GE(more->InsertNewItem(0, L"Added", L"NID_ADDED", 0, 1), 0);
    EXPECT_EQ(MenuLines(*original).size(), 4u);

    RCPtr<LMenuItemDescriptor> held;
    {
        const RCPtr<LMenuDescriptor> menu = MenuWithSubmenu();
        MarkTree(*menu);
        EXPECT_EQ(menu->GetInternalRefCount(), 2) << "one for each item's link back";
        held = menu->GetItems().GetData()[1];
    }
    EXPECT_EQ(LLifeMark::sLiving, 3) << "the held submenu and its two items outlive their menu";
    EXPECT_EQ(held->GetParent(), nullptr);
    held = nullptr;
    EXPECT_EQ(LLifeMark::sLiving, 0);

    EXPECT_EQ(clone->ReleaseInternalReferences(), 0);
    EXPECT_EQ(clone->GetItems().GetCount(), 0u);
    EXPECT_EQ(more->GetParent(), nullptr);
    const RCPtr<LMenuItemDescriptor> refused = LMenuItemDescriptor::Create(L"late", L"NID_LATE", 1, 0);
    EXPECT_LT(clone->InsertItem(5, refused), 0);
    EXPECT_EQ(refused->GetParent(), nullptr);
}

TEST(MenuDescriptor, ANullItemIsRefusedAsAnInvalidArgumentAndTheMenuStaysAsItWas)
{
    const RCPtr<LMenuDescriptor> menu = MenuWithSubmenu();
    EXPECT_EQ(menu->InsertItem(0, nullptr), ZV_E_INVALIDARG);
    EXPECT_EQ(menu->InsertItem(2, nullptr), ZV_E_INVALIDARG);
    EXPECT_EQ(MenuLines(*menu), MenuLines(*MenuWithSubmenu()));
}

}  // namespace
}  // namespace ZV
