#include "ControlBase/SkinImageFinder.h"
#include "SkinTestSupport.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace ZV {
namespace {

TEST(SkinImageFinder, ASkinFolderGivesTheFileOfThatNameElseTheFirstByNameInAnotherLetterCase)
{
    Testing::TemporaryFolder folder;
    for (const char* name : {"knob.png", "Knob.PNG", "Slider.png", "sub/Deep.png", "Images.png/inside.png"}) {
        folder.Write(name, "");
    }
    const std::string prefix = folder.Path().string() + "/";
    SkinImageFinder finder;
    const auto find = [&](const char* name) {
        return std::string(finder.Find(WideString(prefix.c_str()), WideString(name)).ToUTF8().GetData());
    };
    EXPECT_EQ(find("knob.png"), prefix + "knob.png") << "the file of exactly that name";
    EXPECT_EQ(find("KNOB.png"), prefix + "Knob.PNG") << "the first by name of those in another case";
    EXPECT_EQ(find("slider.PNG"), prefix + "Slider.png");
    EXPECT_EQ(find("sub/deep.png"), prefix + "sub/Deep.png") << "in a folder of the skin folder";
    EXPECT_EQ(find("absent.png"), prefix + "absent.png") << "no such file: the name as it is";
    EXPECT_EQ(find("images.png"), prefix + "images.png") << "a folder is no image";

    std::filesystem::rename(folder / "Slider.png", folder / "Gone.png");
    EXPECT_EQ(find("slider.png"), prefix + "Slider.png") << "the folder is listed once for the load";

    EXPECT_EQ(finder.Find(L"::", L"Buttons.png"), WideString(L"::Buttons.png")) << "resources";
    EXPECT_EQ(finder.Find(WideString(), L"Buttons.png"), WideString(L"Buttons.png"));
    EXPECT_EQ(finder.Find(L"/no/such/folder/", L"a.png"), WideString(L"/no/such/folder/a.png"));
}

TEST(SkinImageFinder, ANameAsTheDocumentGivesItFindsWhatItsWideFormFinds)
{
    Testing::TemporaryFolder folder;
    for (const char* name : {"Knob.png", "knob.PNG", "\xC3\x84rger.png", "sub/Deep.png", "plain.png"}) {
        folder.Write(name, "");
    }
    const std::string root = folder.Path().string();
    const char* const names[] = {"KNOB.PNG", "\xC3\x84RGER.PNG", "\xC3\xA4rger.png", "Sub/DEEP.png",
                                 "PLAIN.png", "absent.PNG", "\u00C4BSENT.png", ""};
    for (const std::string& prefix : {root + "/", root + "/sub/../", root, std::string("::"), std::string()}) {
        SkinImageFinder wide;
        SkinImageFinder utf8;
        for (const char* name : names) {
            for (const bool lowerCase : {true, false}) {
                const WideString fileName = lowerCase ? WideString(name).ToLower() : WideString(name);
                EXPECT_EQ(Testing::Text(utf8.Find(WideString(prefix.c_str()), name, lowerCase)),
                          Testing::Text(wide.Find(WideString(prefix.c_str()), fileName)))
                    << prefix << " + " << name << (lowerCase ? " lower-cased" : "");
            }
        }
    }
    SkinImageFinder finder;
    EXPECT_EQ(finder.Find(WideString((root + "/").c_str()), "KNOB.PNG", true),
              WideString((root + "/Knob.png").c_str()))
        << "the first by name when no file has the lower-cased name";
}

}  // namespace
}  // namespace ZV
