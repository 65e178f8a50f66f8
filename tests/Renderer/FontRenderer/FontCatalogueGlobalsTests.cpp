#include "Renderer/FontRenderer/FontCatalogue.h"

#include <gtest/gtest.h>

namespace ZV {
namespace {

TEST(FontCatalogueGlobals, AreBuiltEmptyAndLetGoOfEveryFontAndFamilyWhenDestroyed)
{
    EXPECT_EQ(GetFontFamilies().GetCount(), 0u);
    EXPECT_EQ(GetFontMap().GetCount(), 0);

    const RCPtr<LRefCountedObject> font(new LRefCountedObject());
    const RCPtr<LFontFileInfo> family(new LFontFileInfo(0));
    {
        FontFamilies families;
        FontMap map;
        EXPECT_TRUE(Succeeded(families.AddItem(family)));
        map.SetValue(font, family);
        EXPECT_EQ(font->GetRefCount(), 2);
        EXPECT_EQ(family->GetRefCount(), 3);
    }
    EXPECT_EQ(font->GetRefCount(), 1);
    EXPECT_EQ(family->GetRefCount(), 1);
}

}  // namespace
}  // namespace ZV
