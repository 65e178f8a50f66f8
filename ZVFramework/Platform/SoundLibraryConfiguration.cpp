#include "Platform/SoundLibraryConfiguration.h"

#include "Platform/DebuggerOutput.h"
#include "Platform/JudgedPaths.h"
#include "Platform/SaidOnce.h"
#include "Platform/SoundLibraryIncludes.h"
#include "Platform/SoundLibraryNames.h"
#include "Platform/StandardError.h"

#include <alsa/asoundlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <vector>

namespace ZV::Platform {

namespace {

// A file that includes or names files more deeply than this comes back to itself, which would hold ALSA until it runs
// out of files.
constexpr int kDeepestInclude = 16;

void SayLeftOut(const std::string& file, const RefusedFolder& refused)
{
    const std::string line =
        "The sound library reads no settings from " + file + ", as " + DescribeRefusal(file, refused) + ".";
    if (IsSaidForTheFirstTime(line)) {
        WriteDebuggerOutput((EscapeForLine(line) + "\n").c_str());
    }
}

// Why ALSA could not be handed the text: a file it includes, named as ALSA finds it, is refused, missing or
// includes in turn what cannot be handed to it. Includes named relatively (or found in search folders the text adds)
// come from folders of ALSA's own choosing and are refused.
RefusedFolder JudgeIncludes(const std::string& text, const std::string& file, int depth)
{
    std::vector<std::string> names;
    if (!FindSoundLibraryIncludes(text, depth > 0, names)) {
        return {file, "ends inside a quotation, a comment or an include"};
    }
    for (const std::string& written : names) {
        // ALSA takes the name as text, up to a zero byte.
        const std::string name = written.substr(0, written.find('\0'));
        const std::string path =
            name.starts_with("confdir:") ? std::string(snd_config_topdir()) + "/" + name.substr(8) : name;
        const PathJudgement judged = JudgeLibraryPath(path);
        if (judged.Refused.IsRefused()) {
            return judged.Refused;
        }
        std::string included;
        if (!judged.Exists || !ReadJudgedFile(path, included)) {
            return {path, "cannot be read"};
        }
        if (depth == kDeepestInclude) {
            return {path, "is included too deeply"};
        }
        if (RefusedFolder refused = JudgeIncludes(included, path, depth + 1); refused.IsRefused()) {
            return refused;
        }
    }
    return {};
}

RefusedFolder JudgeSettingsText(const std::string& text, const std::string& file, bool withTopLevelHooks, int depth);

// The files that ALSA loads for a name that passed: the file, or of a folder those whose names end in ".conf", in the
// order of their names' versions (a folder among them is no file to load).
std::vector<std::string> ListSettingsFiles(const std::string& path)
{
    struct stat status {};
    if (stat(path.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) {
        return {path};
    }
    std::vector<std::string> names = ListJudgedFolder(path);
    std::erase_if(names, [](const std::string& name) { return name.size() <= 5 || !name.ends_with(".conf"); });
    std::sort(names.begin(), names.end(), [](const std::string& first, const std::string& second) {
        return strverscmp(first.c_str(), second.c_str()) < 0;
    });
    for (std::string& name : names) {
        name = path + "/" + name;
    }
    return names;
}

// What ALSA reads by the name that a hook or a function of the settings gives.
RefusedFolder JudgeNamedSettings(const std::string& path, int depth)
{
    if (depth > kDeepestInclude) {
        return {path, "is named too deeply"};
    }
    const PathJudgement judged = JudgeLibraryPath(path);
    if (judged.Refused.IsRefused() || !judged.Exists) {
        return judged.Refused;
    }
    for (const std::string& file : ListSettingsFiles(path)) {
        std::string text;
        if (!ReadJudgedFile(file, text)) {
            return {file, "cannot be read"};
        }
        if (RefusedFolder refused = JudgeSettingsText(text, file, true, depth); refused.IsRefused()) {
            return refused;
        }
    }
    return {};
}

// Why ALSA could not be handed the text: what it includes, or what its hooks and functions make ALSA read or load by
// name, is refused, or could not be told.
RefusedFolder JudgeSettingsText(const std::string& text, const std::string& file, bool withTopLevelHooks, int depth)
{
    if (RefusedFolder refused = JudgeIncludes(text, file, 0); refused.IsRefused()) {
        return refused;
    }
    for (const SoundLibraryName& name : FindSoundLibraryNames(text, withTopLevelHooks)) {
        RefusedFolder refused;
        switch (name.kind) {
        case SoundLibraryName::Kind::settings:
            refused = JudgeNamedSettings(name.path, depth + 1);
            break;
        case SoundLibraryName::Kind::library:
        case SoundLibraryName::Kind::folder:
            refused = JudgeLibraryPath(name.path).Refused;
            break;
        case SoundLibraryName::Kind::untold:
            refused = {file, "names a file that ALSA makes up as it runs"};
            break;
        }
        if (refused.IsRefused()) {
            return refused;
        }
    }
    return {};
}

// False when the file was not loaded. The hooks at its top are the program's to run when it says so.
bool LoadFile(snd_config_t* root, const std::string& file, bool hooksRunByProgram = false)
{
    std::string text;
    if (!ReadJudgedFile(file, text)) {
        return false;
    }
    if (RefusedFolder refused = JudgeSettingsText(text, file, !hooksRunByProgram, 0); refused.IsRefused()) {
        SayLeftOut(file, refused);
        return false;
    }
    snd_input_t* input = nullptr;
    if (snd_input_buffer_open(&input, text.data(), static_cast<ssize_t>(text.size())) < 0) {
        return false;
    }
    const int result = snd_config_load(root, input);
    snd_input_close(input);
    return result >= 0;
}

// One entry of a load hook's list: alternatives split by "|||", the first that is there loaded.
void LoadListed(snd_config_t* root, std::string_view listed)
{
    for (std::size_t start = 0; start <= listed.size();) {
        const std::size_t end = std::min(listed.find("|||", start), listed.size());
        const std::string file = ExpandSoundLibraryHome(std::string(listed.substr(start, end - start)));
        start = end + 3;
        const PathJudgement judged = JudgeLibraryPath(file);
        if (judged.Refused.IsRefused()) {
            SayLeftOut(file, judged.Refused);
            return;
        }
        if (!judged.Exists) {
            continue;
        }
        for (const std::string& settings : ListSettingsFiles(file)) {
            (void)LoadFile(root, settings);
        }
        return;
    }
}

// Runs the configuration's load hooks as ALSA would, on the files judged. Other hooks are dropped: the system's
// configuration names none.
void RunLoadHooks(snd_config_t* root)
{
    snd_config_t* hooks = nullptr;
    if (snd_config_search(root, "@hooks", &hooks) < 0) {
        return;
    }
    snd_config_remove(hooks);
    snd_config_iterator_t next;
    for (snd_config_iterator_t entry = snd_config_iterator_first(hooks); entry != snd_config_iterator_end(hooks);
         entry = next) {
        next = snd_config_iterator_next(entry);
        snd_config_t* hook = snd_config_iterator_entry(entry);
        snd_config_t* function = nullptr;
        const char* name = nullptr;
        snd_config_t* files = nullptr;
        snd_config_t* expanded = nullptr;
        if (snd_config_search(hook, "func", &function) < 0 || snd_config_get_string(function, &name) < 0 ||
            std::string_view(name) != "load" || snd_config_search(hook, "files", &files) < 0 ||
            snd_config_expand(files, root, nullptr, nullptr, &expanded) < 0) {
            continue;
        }
        snd_config_iterator_t nextFile;
        for (snd_config_iterator_t file = snd_config_iterator_first(expanded);
             file != snd_config_iterator_end(expanded); file = nextFile) {
            nextFile = snd_config_iterator_next(file);
            const char* listed = nullptr;
            if (snd_config_get_string(snd_config_iterator_entry(file), &listed) >= 0) {
                LoadListed(root, listed);
            }
        }
        snd_config_delete(expanded);
    }
    snd_config_delete(hooks);
}

snd_config_t* MakeEmptyConfiguration()
{
    snd_config_t* root = nullptr;
    if (snd_config_top(&root) < 0) {
        throw std::bad_alloc();
    }
    return root;
}

// Empty when the system's file cannot be read: ALSA then finds no device, rather than reading what it would itself.
snd_config_t* MakeConfiguration()
{
    snd_config_t* root = MakeEmptyConfiguration();
    if (!LoadFile(root, std::string(snd_config_topdir()) + "/alsa.conf", true)) {
        snd_config_delete(root);
        return MakeEmptyConfiguration();
    }
    RunLoadHooks(root);
    return root;
}

}  // namespace

void SoundLibraryConfiguration::Deleter::operator()(snd_config_t* configuration) const
{
    snd_config_delete(configuration);
}

SoundLibraryConfiguration::SoundLibraryConfiguration() : mConfiguration(MakeConfiguration()) {}

int SoundLibraryConfiguration::OpenControl(snd_ctl_t** control, const char* name) const
{
    const std::lock_guard<std::mutex> searching(mSearch);
    return snd_ctl_open_lconf(control, name, 0, mConfiguration.get());
}

int SoundLibraryConfiguration::OpenRawMidi(snd_rawmidi_t** input, snd_rawmidi_t** output, const char* name,
                                           int mode) const
{
    const std::lock_guard<std::mutex> searching(mSearch);
    return snd_rawmidi_open_lconf(input, output, name, mode, mConfiguration.get());
}

}  // namespace ZV::Platform
