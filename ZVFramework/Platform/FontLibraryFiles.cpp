#include "Platform/FontLibraryFiles.h"

#include "Platform/JudgedPaths.h"

#include <expat.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace ZV::Platform {

namespace {

// Where the library looks, after FONTCONFIG_PATH, for what its configuration names by a relative name.
constexpr char kLibrarysOwnFolder[] = "/etc/fonts";

// An element of a configuration file that names a place, with its text as the library takes it (untrimmed).
struct PlaceElement {
    std::string Name;
    std::string Prefix;
    std::string Text;
};

// The elements the library acts on as each one ends, so those before a fault in the file count, as for the library.
class PlaceElementReader {
public:
    static std::vector<PlaceElement> Read(const std::string& content)
    {
        PlaceElementReader reader;
        const std::unique_ptr<XML_ParserStruct, void (*)(XML_Parser)> parser(XML_ParserCreate("UTF-8"),
                                                                              &XML_ParserFree);
        if (parser == nullptr) {
            return {};
        }
        XML_SetUserData(parser.get(), &reader);
        XML_SetElementHandler(parser.get(), &Start, &End);
        XML_SetCharacterDataHandler(parser.get(), &Text);
        // The library reads the file as text: up to its first zero byte.
        const std::size_t length = std::min(content.find('\0'), content.size());
        (void)XML_Parse(parser.get(), content.data(), static_cast<int>(length), XML_TRUE);
        return std::move(reader.mElements);
    }

private:
    static void Start(void* self, const XML_Char* name, const XML_Char** attributes)
    {
        PlaceElement element{name, {}, {}};
        for (; attributes[0] != nullptr; attributes += 2) {
            if (std::string_view(attributes[0]) == "prefix") {
                element.Prefix = attributes[1];
            }
        }
        static_cast<PlaceElementReader*>(self)->mOpen.push_back(std::move(element));
    }

    static void End(void* self, const XML_Char*)
    {
        auto& reader = *static_cast<PlaceElementReader*>(self);
        PlaceElement element = std::move(reader.mOpen.back());
        reader.mOpen.pop_back();
        if (element.Name == "include" || element.Name == "dir" || element.Name == "remap-dir" ||
            element.Name == "cachedir") {
            reader.mElements.push_back(std::move(element));
        }
    }

    static void Text(void* self, const XML_Char* text, int length)
    {
        auto& reader = *static_cast<PlaceElementReader*>(self);
        if (!reader.mOpen.empty()) {
            reader.mOpen.back().Text.append(text, static_cast<std::size_t>(length));
        }
    }

    std::vector<PlaceElement> mOpen;
    std::vector<PlaceElement> mElements;
};

FontLibraryReach Farther(FontLibraryReach first, FontLibraryReach second)
{
    return std::max(first, second);
}

std::optional<std::string> Variable(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
}

// As the library joins a folder and a name: one separator between them.
std::string JoinNamed(const std::string& folder, const std::string& name)
{
    if ((folder.empty() || !folder.ends_with('/')) && !name.starts_with('/')) {
        return folder + "/" + name;
    }
    return folder + name;
}

// A relative name from the current folder, and ".", ".." and repeated separators taken out by the text, as the
// library does.
std::string CanonicalFilename(const std::string& name)
{
    std::string full = name;
    if (!name.starts_with('/')) {
        const std::unique_ptr<char, decltype(&std::free)> current(::getcwd(nullptr, 0), &std::free);
        full = std::string(current != nullptr ? current.get() : "") + "/" + name;
    }
    std::vector<std::string> parts;
    for (std::size_t start = 0; start <= full.size();) {
        const std::size_t end = std::min(full.find('/', start), full.size());
        const std::string part = full.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string canonical;
    for (const std::string& part : parts) {
        canonical += "/" + part;
    }
    return canonical.empty() ? "/" : canonical;
}

std::vector<std::string> SplitAt(const std::string& list, char separator)
{
    std::vector<std::string> parts;
    for (std::size_t start = 0; start < list.size();) {
        const std::size_t end = std::min(list.find(separator, start), list.size());
        parts.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

class FontConfigurationWalk {
public:
    FontConfigurationWalk(FontLibraryReach judged, bool homeLeftOut) : mJudged(judged), mHomeLeftOut(homeLeftOut) {}

    RefusedFolder Run()
    {
        if (const std::optional<std::string> sysroot = Variable("FONTCONFIG_SYSROOT")) {
            if (Judge(*sysroot, FontLibraryReach::variables)) {
                return mRefused;
            }
            const std::unique_ptr<char, decltype(&std::free)> real(::realpath(sysroot->c_str(), nullptr), &std::free);
            if (real != nullptr) {
                mSysroot = real.get();
            }
        }
        const std::optional<std::string> file = Variable("FONTCONFIG_FILE");
        Parse(file.value_or("fonts.conf"), file ? FontLibraryReach::variables : FontLibraryReach::system);
        return mRefused;
    }

private:
    // True once a path is refused: the walk ends there.
    bool Judge(const std::string& path, FontLibraryReach reach)
    {
        if (reach == mJudged && !mRefused.IsRefused()) {
            mRefused = JudgeLibraryPath(path).Refused;
        }
        return mRefused.IsRefused();
    }

    std::optional<std::string> Home() const { return mHomeLeftOut ? std::nullopt : Variable("HOME"); }

    // An XDG folder as the library takes it: the variable whatever it holds, else its place under the home.
    std::optional<std::string> XdgFolder(const char* variable, const char* underHome, bool emptyCounts) const
    {
        if (mHomeLeftOut) {
            return std::nullopt;
        }
        if (std::optional<std::string> value = Variable(variable); value && (emptyCounts || !value->empty())) {
            return value;
        }
        return Home().value_or("") + underHome;
    }

    // Unset, the system's own folders, which its configuration names itself.
    std::pair<std::vector<std::string>, FontLibraryReach> XdgDataFolders() const
    {
        const std::optional<std::string> list = Variable("XDG_DATA_DIRS");
        if (!list) {
            return {{"/usr/local/share", "/usr/share"}, FontLibraryReach::system};
        }
        std::vector<std::string> folders;
        for (std::string folder : SplitAt(*list, ':')) {
            while (folder.size() > 1 && folder.ends_with('/')) {
                folder.pop_back();
            }
            folders.push_back(folder);
        }
        return {folders, FontLibraryReach::home};
    }

    std::string UnderSysroot(const std::string& path) const
    {
        return mSysroot.empty() ? path : mSysroot + "/" + path;
    }

    // Where the library looks for a configuration file of that name, in its order, and how it comes to each.
    std::vector<std::pair<std::string, FontLibraryReach>> Candidates(const std::string& name,
                                                                     FontLibraryReach reach) const
    {
        const FontLibraryReach underSysroot = mSysroot.empty() ? reach : Farther(reach, FontLibraryReach::variables);
        if (name.starts_with('/')) {
            if (mSysroot.empty() || name.starts_with(mSysroot)) {
                return {{name, reach}};
            }
            return {{mSysroot + name, underSysroot}};
        }
        if (name.starts_with('~')) {
            const std::optional<std::string> home = Home();
            if (!home) {
                return {};
            }
            return {{JoinNamed(UnderSysroot(*home), name.substr(1)), Farther(underSysroot, FontLibraryReach::home)}};
        }
        std::vector<std::pair<std::string, FontLibraryReach>> candidates;
        if (const std::optional<std::string> path = Variable("FONTCONFIG_PATH")) {
            for (const std::string& folder : SplitAt(*path, ':')) {
                candidates.emplace_back(JoinNamed(UnderSysroot(folder), name),
                                        Farther(reach, FontLibraryReach::variables));
            }
        }
        candidates.emplace_back(JoinNamed(UnderSysroot(kLibrarysOwnFolder), name), underSysroot);
        return candidates;
    }

    void Parse(const std::string& name, FontLibraryReach reach)
    {
        for (const auto& [candidate, candidateReach] : Candidates(name, reach)) {
            if (Judge(candidate, candidateReach)) {
                return;
            }
            if (access(candidate.c_str(), R_OK) == 0) {
                Load(candidate, candidateReach);
                return;
            }
        }
    }

    void Load(const std::string& file, FontLibraryReach reach)
    {
        const std::string real = RealFilename(file);
        if (!mLoaded.insert(real).second) {
            return;
        }
        struct stat status {};
        if (stat(real.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
            for (const std::string& entry : ConfigurationFilesIn(real)) {
                Parse(real + "/" + entry, reach);
                if (mRefused.IsRefused()) {
                    return;
                }
            }
            return;
        }
        std::string content;
        if (!ReadJudgedFile(real, content)) {
            return;
        }
        for (const PlaceElement& element : PlaceElementReader::Read(content)) {
            if (element.Name == "include") {
                Include(element, reach);
            } else if (element.Name == "cachedir") {
                CacheFolder(element, reach);
            } else {
                FontFolder(element, reach, file);
            }
            if (mRefused.IsRefused()) {
                return;
            }
        }
    }

    // A link at the name once, as the library takes it.
    static std::string RealFilename(const std::string& file)
    {
        std::string target(PATH_MAX, '\0');
        const ssize_t length = readlink(file.c_str(), target.data(), target.size() - 1);
        if (length <= 0) {
            return file;
        }
        target.resize(static_cast<std::size_t>(length));
        if (target.starts_with('/')) {
            return target;
        }
        return CanonicalFilename(file.substr(0, file.rfind('/')) + "/" + target);
    }

    // The library's choice among a configuration folder's files: "[0-9]*.conf", in the order of their names.
    static std::vector<std::string> ConfigurationFilesIn(const std::string& folder)
    {
        std::vector<std::string> names = ListJudgedFolder(folder);
        std::erase_if(names, [](const std::string& name) {
            return name.size() <= 5 || name[0] < '0' || name[0] > '9' || !name.ends_with(".conf");
        });
        std::sort(names.begin(), names.end());
        return names;
    }

    void Include(const PlaceElement& element, FontLibraryReach reach)
    {
        if (element.Prefix != "xdg") {
            Parse(element.Text, reach);
            return;
        }
        if (const std::optional<std::string> config = XdgFolder("XDG_CONFIG_HOME", "/.config", true)) {
            Parse(*config + "/" + element.Text, FontLibraryReach::home);
        }
    }

    void FontFolder(const PlaceElement& element, FontLibraryReach reach, const std::string& file)
    {
        if (element.Text.empty()) {
            return;
        }
        if (element.Prefix == "xdg") {
            const std::optional<std::string> data = XdgFolder("XDG_DATA_HOME", "/.local/share", true);
            if (!data) {
                return;
            }
            if (Place(*data + "/" + element.Text, FontLibraryReach::home)) {
                return;
            }
            const auto [shared, sharedReach] = XdgDataFolders();
            for (const std::string& folder : shared) {
                if (Place(folder + "/" + element.Text, sharedReach)) {
                    return;
                }
            }
        } else if (element.Prefix == "relative") {
            const std::unique_ptr<char, decltype(&std::free)> real(::realpath(file.c_str(), nullptr), &std::free);
            if (real != nullptr) {
                const std::string path = real.get();
                Place(path.substr(0, path.rfind('/')) + "/" + element.Text, reach);
            }
        } else {
            Place(element.Text, reach);
        }
    }

    void CacheFolder(const PlaceElement& element, FontLibraryReach reach)
    {
        if (element.Prefix != "xdg") {
            Place(element.Text, reach);
            return;
        }
        if (const std::optional<std::string> cache = XdgFolder("XDG_CACHE_HOME", "/.cache", false)) {
            Place(*cache + "/" + element.Text, FontLibraryReach::home);
        }
    }

    // A folder of fonts or of caches, named as the library names them and used under the sysroot.
    bool Place(const std::string& name, FontLibraryReach reach)
    {
        if (name.empty()) {
            return false;
        }
        std::string path = name;
        if (name.starts_with('~')) {
            const std::optional<std::string> home = Home();
            if (!home) {
                return false;
            }
            path = *home + name.substr(1);
            reach = Farther(reach, FontLibraryReach::home);
        }
        path = CanonicalFilename(path);
        if (!mSysroot.empty()) {
            return Judge(mSysroot + path, Farther(reach, FontLibraryReach::variables));
        }
        return Judge(path, reach);
    }

    const FontLibraryReach mJudged;
    const bool mHomeLeftOut;
    std::string mSysroot;
    std::set<std::string> mLoaded;
    RefusedFolder mRefused;
};

}  // namespace

RefusedFolder FindRefusedFontLibraryPath(FontLibraryReach judged, bool homeLeftOut)
{
    return FontConfigurationWalk(judged, homeLeftOut).Run();
}

}  // namespace ZV::Platform
