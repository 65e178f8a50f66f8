#include "BitmapTestSupport.h"
#include "DebuggerOutputCapture.h"
#include "TestFiles.h"
#include "TestSupport.h"
#include "Utilities/Graphics/BitmapCache.h"
#include "Utilities/Graphics/BitmapData.h"
#include "Utilities/Graphics/Colorizer.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <filesystem>

namespace ZV {
namespace {

using Testing::DebuggerOutputCapture;
using Testing::kSheetCells;
using Testing::kSheetName;
using Testing::PixelAt;
using Testing::SheetBytes;
using Testing::ThrowsText;

TEST(CachedBitmap, EmbeddedImageLoadsWithStraightPixelsAndIsSharedInAnyLetterCase)
{
    const ConstRCPtr<LBitmap> sheet = LBitmap::GetCachedBitmap(kSheetName);
    ASSERT_FALSE(sheet.IsNull());
    EXPECT_EQ(sheet->GetPart(), RectT<zlong>(0, 0, 40, 20));
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 4; ++column) {
            EXPECT_EQ(PixelAt(sheet, column * 10 + 5, row * 10 + 5), kSheetCells[row][column])
                << "cell " << column << "," << row;
        }
    }
    EXPECT_EQ(PixelAt(sheet, 40, 0), 0u) << "outside the image";
    EXPECT_EQ(PixelAt(sheet, -1, 0), 0u);

    EXPECT_EQ(LBitmap::GetCachedBitmap(L"::testsheet.PNG"), sheet);
    EXPECT_EQ(GetBitmapCache().GetCount(), 1u);

    const ConstRCPtr<LBitmapData> data = sheet->GetPixelData();
    EXPECT_EQ(data->GetWidth(), 40);
    EXPECT_EQ(data->GetHeight(), 20);
    EXPECT_EQ(data->GetStride(), 160);
    EXPECT_EQ(*data->GetPixelPointer(35, 5), 0x80FF0000u) << "half-transparent red kept straight";
}

TEST(CachedBitmap, SubBitmapsShowTheirRectangleOfTheSamePixels)
{
    const ConstRCPtr<LBitmap> sheet = LBitmap::GetCachedBitmap(kSheetName);
    const RCPtr<LBitmap> lowerMiddle = sheet->CreateSubBitmap(10, 10, 20, 10);
    EXPECT_EQ(lowerMiddle->GetPart(), RectT<zlong>(10, 10, 20, 10));
    EXPECT_EQ(PixelAt(lowerMiddle, 0, 0), kSheetCells[1][1]);
    EXPECT_EQ(PixelAt(lowerMiddle, 10, 0), kSheetCells[1][2]);

    const RCPtr<LBitmap> inner = lowerMiddle->CreateSubBitmap(10, 0, 10, 10);
    EXPECT_EQ(inner->GetPart(), RectT<zlong>(20, 10, 10, 10));
    EXPECT_EQ(inner->GetBitmapData(), sheet->GetBitmapData()) << "a sub-bitmap's source is the image's owner";
    EXPECT_EQ(lowerMiddle->CreateSubBitmap(3, 3, 0, 5)->GetPart(), RectT<zlong>(10, 10, 20, 10))
        << "no width: the whole part";
    EXPECT_EQ(inner->GetPixelData()->GetWidth(), 40) << "a sub-bitmap's pixel data is its source's";

    // A rectangle reaching past the image: its copy is transparent there, and its pixels cannot be handed out.
    const RCPtr<LBitmap> overhanging = sheet->CreateSubBitmap(35, 15, 10, 10);
    const RCPtr<LBitmap> copy = overhanging->Clone();
    EXPECT_EQ(copy->GetPart(), RectT<zlong>(0, 0, 10, 10));
    EXPECT_EQ(PixelAt(copy, 0, 0), kSheetCells[1][3]);
    EXPECT_EQ(PixelAt(copy, 5, 0), 0u);
    const RCPtr<LBitmapData> data(new LBitmapData(overhanging));
    EXPECT_EQ(data->GetWidth(), 0);
    EXPECT_EQ(data->GetPixelPointer(0, 0), nullptr);
}

TEST(CachedBitmap, SubBitmapWhoseEdgesPassThirtyTwoBitsIsRefused)
{
    const RCPtr<LBitmap> inner = LBitmap::GetCachedBitmap(kSheetName)->CreateSubBitmap(10, 10, 20, 10);
    const char* const refused = "Failed Result : ZVRESULT = 80070057 : ZV::LBitmap::CreateSubBitmap";
    EXPECT_TRUE(ThrowsText<FailedResultException>([&] { inner->CreateSubBitmap(INT32_MAX - 5, 0, 1, 1); }, refused));
    const RCPtr<LBitmap> above = LBitmap::GetCachedBitmap(kSheetName)->CreateSubBitmap(0, -10, 20, 10);
    EXPECT_TRUE(ThrowsText<FailedResultException>([&] { above->CreateSubBitmap(0, INT32_MIN + 5, 1, 1); }, refused));
    EXPECT_TRUE(ThrowsText<FailedResultException>([&] { inner->CreateSubBitmap(0, 0, INT32_MAX - 5, 1); }, refused))
        << "its right edge";
    EXPECT_EQ(inner->CreateSubBitmap(INT32_MAX - 20, 0, 5, 5)->GetPart(), RectT<zlong>(INT32_MAX - 10, 10, 5, 5))
        << "far, but inside the range";
}

TEST(CachedBitmap, ReleasedBitmapLeavesTheCacheAndIsLoadedAnew)
{
    const RCPtr<LColorizer> white(new LColorizer(LColorizer::kSolidFill, LColor(1, 1, 1, 1), LColor()));
    {
        const ConstRCPtr<LBitmap> sheet = LBitmap::GetCachedBitmap(kSheetName);
        LBitmap::ApplyColorizer(sheet->CreateSubBitmap(0, 0, 10, 10), white, 1);
        EXPECT_EQ(PixelAt(sheet, 5, 5), 0xFFFFFFFFu) << "tinting a sub-bitmap tints its source's pixels";
        EXPECT_EQ(PixelAt(LBitmap::GetCachedBitmap(kSheetName), 5, 5), 0xFFFFFFFFu);
    }
    EXPECT_EQ(GetBitmapCache().GetCount(), 0u);
    EXPECT_TRUE(GetBitmapCache().Find(L"::TESTSHEET.PNG").IsNull());
    EXPECT_EQ(PixelAt(LBitmap::GetCachedBitmap(kSheetName), 5, 5), kSheetCells[0][0]);
}

TEST(CachedBitmap, MissingResourceGivesNullAndOneLineEachTime)
{
    const DebuggerOutputCapture debugger;
    EXPECT_TRUE(LBitmap::GetCachedBitmap(L"::Missing.png").IsNull());
    EXPECT_TRUE(LBitmap::GetCachedBitmap(L"::Missing.png").IsNull());
    const std::vector<std::string> lines = debugger.Texts();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "Image \"::Missing.png\" not loaded: there is no resource MISSING_PNG of type GDIPLUS\n");
    EXPECT_EQ(GetBitmapCache().GetCount(), 0u);
}

TEST(CachedBitmap, FilePathsAreTakenAsTheyAre)
{
    const Testing::TemporaryFolder folder;
    Testing::WriteContent(folder / "Sheet.png", SheetBytes());
    const WideString path((folder / "Sheet.png").c_str());
    const ConstRCPtr<LBitmap> sheet = LBitmap::GetCachedBitmap(path);
    ASSERT_FALSE(sheet.IsNull());
    EXPECT_EQ(PixelAt(sheet, 25, 5), kSheetCells[0][2]);
    EXPECT_EQ(LBitmap::GetCachedBitmap(path), sheet);

    const DebuggerOutputCapture debugger;
    EXPECT_TRUE(LBitmap::GetCachedBitmap(WideString((folder / "sheet.png").c_str())).IsNull())
        << "file names differ by letter case";
    EXPECT_EQ(debugger.Texts().size(), 1u);
}

// The sheet's bytes with the header's size replaced, its checksum made good again.
std::string WithHeaderSize(std::string png, std::uint32_t width, std::uint32_t height)
{
    const auto put = [&png](std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            png[at + i] = static_cast<char>(value >> (24 - 8 * i));
        }
    };
    // Signature (8), length (4), "IHDR" (4) and 13 bytes of data from 16 on; the checksum covers type and data.
    put(16, width);
    put(20, height);
    put(29, static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(png.data() + 12), 17)));
    return png;
}

TEST(CachedBitmap, BrokenImagesGiveNullAndOneLineWithoutBeingCached)
{
    const std::string sound = SheetBytes();
    std::string badChecksum = sound;
    badChecksum[30] = static_cast<char>(badChecksum[30] ^ 0x55);
    const Testing::TemporaryFolder folder;
    Testing::WriteContent(folder / "Truncated.png", sound.substr(0, sound.size() / 2));
    Testing::WriteContent(folder / "BadChecksum.png", badChecksum);
    Testing::WriteContent(folder / "Empty.png", "");
    Testing::WriteContent(folder / "Huge.png", WithHeaderSize(sound, 30000, 30000));
    Testing::WriteContent(folder / "Wide.png", WithHeaderSize(sound, 16385, 1));
    Testing::WriteContent(folder / "NotAnImage.png", "GIF89a, or something else");
    std::filesystem::create_directory(folder.Path() / "Folder.png");

    for (const char* name : {"Truncated.png", "BadChecksum.png", "Empty.png", "Huge.png", "Wide.png", "NotAnImage.png",
                             "Folder.png", "Absent.png"}) {
        const DebuggerOutputCapture debugger;
        const std::string path = folder / name;
        EXPECT_TRUE(LBitmap::GetCachedBitmap(WideString(path.c_str())).IsNull()) << name;
        const std::vector<std::string> lines = debugger.Texts();
        ASSERT_EQ(lines.size(), 1u) << name;
        EXPECT_EQ(lines[0].rfind("Image \"" + path + "\" not loaded: ", 0), 0u) << lines[0];
    }
    EXPECT_EQ(GetBitmapCache().GetCount(), 0u);

    const DebuggerOutputCapture debugger;
    LBitmap::GetCachedBitmap(WideString((folder / "Huge.png").c_str()));
    EXPECT_NE(debugger.Texts().at(0).find("the image of 30000 x 30000 pixels is too large"), std::string::npos)
        << "refused by its header, before any pixel memory";
}

TEST(BitmapCacheEnd, BitmapsHeldPastTheCacheAreLetGoCleanly)
{
    const RCPtr<LBitmap> bitmap = LBitmap::CreateFilledBitmap(PointT<zlong>(2, 2), LColor(0, 1, 0, 1));
    {
        BitmapCache cache;
        cache.Insert(L"KEY", bitmap);
        EXPECT_EQ(bitmap->GetInternalRefCount(), 1);
        EXPECT_EQ(cache.Find(L"KEY"), bitmap);
    }
    EXPECT_EQ(bitmap->GetInternalRefCount(), 0);
    EXPECT_EQ(bitmap->GetRefCount(), 1);
}

}  // namespace
}  // namespace ZV
