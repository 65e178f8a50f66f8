#include "Platform/SoundLibraryConfiguration.h"

#include "Platform/DebuggerOutput.h"
#include "Platform/HomeFolders.h"
#include "Platform/SaidOnce.h"
#include "Platform/StandardError.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <new>
#include <string>
#include <string_view>
#include <vector>

// The hook that ALSA's own configuration names for the files it loads; exported by the library for such hooks, though
// its header does not declare it.
extern "C" int snd_config_hook_load(snd_config_t* root, snd_config_t* config, snd_config_t** dst,
                                    snd_config_t* private_data);

namespace ZV::Platform {

namespace {

// "~" is the home as ALSA takes it.
bool LiesInTheHome(std::string_view path, const std::vector<std::string>& home)
{
    return path.substr(0, 1) == "~" || std::any_of(home.begin(), home.end(), [&](const std::string& folder) {
               return !folder.empty() && path.substr(0, folder.size()) == folder &&
                      (path.size() == folder.size() || path[folder.size()] == '/');
           });
}

// The files of one of the configuration's load hooks, its functions worked out, without those of the home; null when
// none is left.
snd_config_t* MakeFilesOutsideTheHome(snd_config_t* root, snd_config_t* hook, const std::vector<std::string>& home)
{
    snd_config_t* files = nullptr;
    snd_config_t* expanded = nullptr;
    if (snd_config_search(hook, "files", &files) < 0 ||
        snd_config_expand(files, root, nullptr, nullptr, &expanded) < 0) {
        return nullptr;
    }
    snd_config_t* kept = nullptr;
    if (snd_config_get_type(expanded) == SND_CONFIG_TYPE_COMPOUND && snd_config_make_compound(&kept, "files", 0) >= 0) {
        int index = 0;
        snd_config_iterator_t next;
        for (snd_config_iterator_t entry = snd_config_iterator_first(expanded);
             entry != snd_config_iterator_end(expanded); entry = next) {
            next = snd_config_iterator_next(entry);
            const char* file = nullptr;
            if (snd_config_get_string(snd_config_iterator_entry(entry), &file) < 0 || LiesInTheHome(file, home)) {
                continue;
            }
            snd_config_t* copy = nullptr;
            if (snd_config_imake_string(&copy, std::to_string(index).c_str(), file) >= 0) {
                if (snd_config_add(kept, copy) >= 0) {
                    ++index;
                } else {
                    snd_config_delete(copy);
                }
            }
        }
    }
    snd_config_delete(expanded);
    return kept;
}

// Runs the configuration's load hooks as ALSA would, but on the files outside the home alone. Other hooks are
// dropped: the system's configuration names none.
void LoadTheSystemsFiles(snd_config_t* root, const std::vector<std::string>& home)
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
        if (snd_config_search(hook, "func", &function) < 0 || snd_config_get_string(function, &name) < 0 ||
            std::string_view(name) != "load") {
            continue;
        }
        snd_config_t* load = nullptr;
        snd_config_t* files = MakeFilesOutsideTheHome(root, hook, home);
        if (files == nullptr || snd_config_make_compound(&load, nullptr, 0) < 0) {
            if (files != nullptr) {
                snd_config_delete(files);
            }
            continue;
        }
        snd_config_add(load, files);
        snd_config_t* errors = nullptr;
        snd_config_t* errorsCopy = nullptr;
        if (snd_config_search(hook, "errors", &errors) >= 0 && snd_config_copy(&errorsCopy, errors) >= 0) {
            snd_config_add(load, errorsCopy);
        }
        snd_config_t* unused = nullptr;
        snd_config_hook_load(root, load, &unused, nullptr);
        snd_config_delete(load);
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

// The system's configuration file and the files it loads, without the home's. Empty when the file cannot be read:
// ALSA then finds no device, rather than reading the home.
snd_config_t* MakeSystemConfiguration(const std::vector<std::string>& home)
{
    snd_config_t* root = MakeEmptyConfiguration();
    const std::string file = std::string(snd_config_topdir()) + "/alsa.conf";
    snd_input_t* input = nullptr;
    int result = snd_input_stdio_open(&input, file.c_str(), "r");
    if (result >= 0) {
        result = snd_config_load(root, input);
        snd_input_close(input);
    }
    if (result < 0) {
        snd_config_delete(root);
        return MakeEmptyConfiguration();
    }
    LoadTheSystemsFiles(root, home);
    return root;
}

}  // namespace

void SoundLibraryConfiguration::Deleter::operator()(snd_config_t* configuration) const
{
    snd_config_delete(configuration);
}

SoundLibraryConfiguration::SoundLibraryConfiguration()
{
    const std::vector<std::string> home = {GetFolderNamedBy("HOME"), GetXdgFolder("XDG_CONFIG_HOME", "/.config")};
    const RefusedFolder refused = FindRefusedFolder(home);
    if (!refused.IsRefused()) {
        return;
    }
    mConfiguration.reset(MakeSystemConfiguration(home));
    const std::string line = "The sound library reads no settings from the home, as " + refused.Path + " " +
                             refused.Exposure + ".";
    if (IsSaidForTheFirstTime(line)) {
        WriteDebuggerOutput((EscapeForLine(line) + "\n").c_str());
    }
}

int SoundLibraryConfiguration::OpenControl(snd_ctl_t** control, const char* name) const
{
    if (mConfiguration == nullptr) {
        return snd_ctl_open(control, name, 0);
    }
    const std::lock_guard<std::mutex> searching(mSearch);
    return snd_ctl_open_lconf(control, name, 0, mConfiguration.get());
}

int SoundLibraryConfiguration::OpenRawMidi(snd_rawmidi_t** input, snd_rawmidi_t** output, const char* name,
                                           int mode) const
{
    if (mConfiguration == nullptr) {
        return snd_rawmidi_open(input, output, name, mode);
    }
    const std::lock_guard<std::mutex> searching(mSearch);
    return snd_rawmidi_open_lconf(input, output, name, mode, mConfiguration.get());
}

}  // namespace ZV::Platform
