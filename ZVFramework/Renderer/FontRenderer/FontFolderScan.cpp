#include "ObjectBase/Exception.h"
#include "Platform/FolderListing.h"
#include "Renderer/Font.h"
#include "Renderer/FontRenderer/FontCatalogue.h"
#include "Renderer/FontRenderer/FontDirectories.h"
#include "Renderer/FontRenderer/FontNameTable.h"
#include "Utilities/Debug/DebugOutput.h"
#include "Utilities/Storage/SharedStrings.h"
#include "Utilities/Storage/ZVFile.h"

#include <exception>
#include <ostream>
#include <string>
#include <vector>

namespace ZV {

namespace {

// A font file read through the framework's file; opening or reading it may throw.
class FontFileBytes final : public IFontBytes {
public:
    explicit FontFileBytes(const WideString& path) : mFile(path, GetEmptyString(), File::kModeRead) {}

    std::uint64_t GetLength() override { return mLength; }
    bool Read(std::uint64_t offset, std::uint32_t count, std::uint8_t* target) override
    {
        return offset <= mLength && count <= mLength - offset &&
               mFile.Read(target, count, static_cast<std::uint32_t>(offset)) == count;
    }

private:
    File mFile;
    std::uint64_t mLength = mFile.GetLength();
};

struct SubfamilySlot {
    const wchar_t* subfamily;
    std::int32_t style;
};

// Subfamily names as font files spell them, in small letters. Any other name is no style of its own ("extralight",
// "condensed"): it fills the regular slot only while that is empty.
constexpr SubfamilySlot kSubfamilySlots[] = {
    {L"regular", LFont::kRegular},          {L"book", LFont::kRegular},
    {L"normal", LFont::kRegular},           {L"roman", LFont::kRegular},
    {L"medium", LFont::kRegular},           {L"bold", LFont::kBold},
    {L"italic", LFont::kItalic},            {L"oblique", LFont::kItalic},
    {L"bold italic", LFont::kBoldItalic},   {L"bold oblique", LFont::kBoldItalic},
};

void FileFace(const WideString& path, const FontFaceName& name)
{
    RCPtr<LFontFileInfo> family = FindFontFamily(name.family);
    if (family.IsNull()) {
        family = AddFontFileInfo();
        family->SetFaceName(name.family);
    }
    const LFontFileInfo::Slot slot{path, name.faceIndex};
    for (const SubfamilySlot& known : kSubfamilySlots) {
        if (name.subfamily == known.subfamily) {
            family->SetSlot(known.style, slot);
            return;
        }
    }
    if (family->GetSlot(LFont::kRegular).path.IsEmpty()) {
        family->SetSlot(LFont::kRegular, slot);
    }
}

void ReportSkippedFile(const WideString& path)
{
    MutexLock lock(GetDebugOutputLock());
    GetDebugOutput().GetNarrowTarget() << "Font file \"" << path.ToUTF8().GetData()
                                   << "\" skipped: it holds more faces or names than a font file does" << std::endl;
}

// Appends the paths of the folders' files that match the pattern, folder by folder, each folder's sorted by name.
// A name that is not valid UTF-8 cannot be handed on as text and is left out.
void AppendFontFiles(const WideStringArray& folders, const char* pattern, WideStringArray& paths)
{
    std::vector<std::string> names;
    for (std::uint32_t index = 0; index < folders.GetCount(); ++index) {
        const NarrowString folder = folders.GetItemPointer(index)->ToUTF8();
        if (Platform::ListMatchingFiles(folder.GetData(), pattern, names) != Platform::FolderListingResult::ok) {
            continue;
        }
        for (const std::string& name : names) {
            const std::string path = std::string(folder.GetData()) + static_cast<char>(kPathSep) + name;
            WideString widePath;
            if (Succeeded(widePath.AssignFromUTF8(path.c_str(), -1))) {
                ZV_THROW_IF_FAILED(paths.AddItem(widePath));
            }
        }
    }
}

}  // namespace

ZVRESULT ScanFontFolder()
{
    ClearFontCatalogue();
    const WideStringArray folders = GetFontDirectories();
    if (folders.GetCount() == 0) {
        return ZV_E_FAIL;
    }
    WideStringArray paths;
    AppendFontFiles(folders, "*.ttf", paths);
    AppendFontFiles(folders, "*.ttc", paths);
    Array<FontFaceName> names;
    for (std::uint32_t index = 0; index < paths.GetCount(); ++index) {
        const WideString& path = *paths.GetItemPointer(index);
        try {
            FontFileBytes bytes(path);
            if (!ReadFontFaceNames(bytes, names)) {
                ReportSkippedFile(path);
                continue;
            }
        } catch (const std::exception&) {
            continue;
        }
        for (std::uint32_t face = 0; face < names.GetCount(); ++face) {
            FileFace(path, *names.GetItemPointer(face));
        }
    }
    return ZV_S_OK;
}

}  // namespace ZV
