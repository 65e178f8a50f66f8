#include "Platform/SoundLibraryNames.h"

#include "Platform/HomeFolders.h"

#include <alsa/asoundlib.h>

#include <cstdlib>
#include <memory>
#include <string_view>

namespace ZV::Platform {

namespace {

// Deeper than any function call in a configuration; a deeper one is not followed.
constexpr int kDeepestCall = 32;

struct ConfigurationDeleter {
    void operator()(snd_config_t* configuration) const { snd_config_delete(configuration); }
};
using Configuration = std::unique_ptr<snd_config_t, ConfigurationDeleter>;

// What a node stands for as a name: all of it, or only how it begins.
struct Made {
    std::string text;
    bool whole = true;
};

snd_config_t* FindChild(snd_config_t* node, const char* id)
{
    snd_config_t* child = nullptr;
    return snd_config_get_type(node) == SND_CONFIG_TYPE_COMPOUND && snd_config_search(node, id, &child) >= 0
               ? child
               : nullptr;
}

std::string GetString(snd_config_t* node)
{
    const char* value = nullptr;
    return node != nullptr && snd_config_get_string(node, &value) >= 0 && value != nullptr ? value : "";
}

// The items of a list in the order ALSA takes them: by their numbers, from 0 while there is one.
std::vector<snd_config_t*> ListItems(snd_config_t* list)
{
    std::vector<snd_config_t*> items;
    if (list == nullptr || snd_config_get_type(list) != SND_CONFIG_TYPE_COMPOUND) {
        return items;
    }
    while (snd_config_t* item = FindChild(list, std::to_string(items.size()).c_str())) {
        items.push_back(item);
    }
    return items;
}

Made Evaluate(snd_config_t* node, int depth);

Made Concatenate(snd_config_t* call, int depth)
{
    Made made{{}, true};
    for (snd_config_t* item : ListItems(FindChild(call, "strings"))) {
        const Made part = Evaluate(item, depth + 1);
        made.text += part.text;
        if (!part.whole) {
            made.whole = false;
            return made;
        }
    }
    return made;
}

Made GetEnvironment(snd_config_t* call, int depth)
{
    for (snd_config_t* item : ListItems(FindChild(call, "vars"))) {
        const Made variable = Evaluate(item, depth + 1);
        if (!variable.whole) {
            return {{}, false};
        }
        const char* value = std::getenv(variable.text.c_str());
        if (value != nullptr && value[0] != '\0') {
            return {value, true};
        }
    }
    snd_config_t* fallback = FindChild(call, "default");
    return fallback != nullptr ? Evaluate(fallback, depth + 1) : Made{{}, false};
}

Made Evaluate(snd_config_t* node, int depth)
{
    if (depth > kDeepestCall) {
        return {{}, false};
    }
    if (snd_config_get_type(node) != SND_CONFIG_TYPE_COMPOUND) {
        char* text = nullptr;
        if (snd_config_get_ascii(node, &text) < 0) {
            return {{}, false};
        }
        const std::unique_ptr<char, decltype(&std::free)> owned(text, &std::free);
        return {text, true};
    }
    const std::string function = GetString(FindChild(node, "@func"));
    if (function == "concat") {
        return Concatenate(node, depth);
    }
    if (function == "getenv") {
        return GetEnvironment(node, depth);
    }
    if (function == "datadir") {
        return {snd_config_topdir(), true};
    }
    return {{}, false};
}

class NameCollector {
public:
    std::vector<SoundLibraryName> Take() { return std::move(mNames); }

    void Walk(snd_config_t* node, bool withHooks)
    {
        if (snd_config_get_type(node) != SND_CONFIG_TYPE_COMPOUND) {
            return;
        }
        snd_config_iterator_t next;
        for (snd_config_iterator_t entry = snd_config_iterator_first(node); entry != snd_config_iterator_end(node);
             entry = next) {
            next = snd_config_iterator_next(entry);
            snd_config_t* child = snd_config_iterator_entry(entry);
            const char* id = nullptr;
            if (snd_config_get_id(child, &id) < 0 || id == nullptr) {
                continue;
            }
            const std::string_view name = id;
            if (name == "@hooks") {
                if (!withHooks) {
                    continue;
                }
                for (snd_config_t* hook : ListItems(child)) {
                    AddHookFiles(hook);
                }
            } else if (name == "@func" && GetString(child) == "refer") {
                if (snd_config_t* file = FindChild(node, "file")) {
                    Add(Evaluate(file, 0), false);
                }
            } else if (name == "lib" && GetString(child).find('/') != std::string::npos) {
                // A library named without a folder is looked for where the system keeps them.
                mNames.push_back({SoundLibraryName::Kind::library, GetString(child)});
            }
            Walk(child, true);
        }
    }

private:
    // Whatever the hook's function, its list counts: another file may make it a load hook.
    void AddHookFiles(snd_config_t* hook)
    {
        for (snd_config_t* item : ListItems(FindChild(hook, "files"))) {
            snd_config_t* file = FindChild(item, "@func") == nullptr ? FindChild(item, "file") : nullptr;
            Add(Evaluate(file != nullptr ? file : item, 0), true);
        }
    }

    void Add(const Made& made, bool listedByHook)
    {
        std::string_view rest = made.text;
        if (!listedByHook) {
            AddOne(std::string(rest), made.whole, false);
            return;
        }
        for (std::size_t end = rest.find("|||"); end != std::string_view::npos; end = rest.find("|||")) {
            AddOne(std::string(rest.substr(0, end)), true, true);
            rest.remove_prefix(end + 3);
        }
        AddOne(std::string(rest), made.whole, true);
    }

    void AddOne(std::string path, bool whole, bool listedByHook)
    {
        if (listedByHook) {
            path = ExpandSoundLibraryHome(path);
        }
        if (whole) {
            mNames.push_back({SoundLibraryName::Kind::settings, path});
            return;
        }
        const std::size_t folderEnd = path.rfind('/');
        if (!path.starts_with('/') || folderEnd == 0 || folderEnd == std::string::npos) {
            mNames.push_back({SoundLibraryName::Kind::untold, path});
            return;
        }
        mNames.push_back({SoundLibraryName::Kind::folder, path.substr(0, folderEnd)});
    }

    std::vector<SoundLibraryName> mNames;
};

}  // namespace

std::string ExpandSoundLibraryHome(const std::string& name)
{
    return name.starts_with("~/") ? GetLibraryHome() + name.substr(1) : name;
}

std::vector<SoundLibraryName> FindSoundLibraryNames(const std::string& text, bool withTopLevelHooks)
{
    snd_config_t* top = nullptr;
    snd_input_t* input = nullptr;
    if (snd_config_top(&top) < 0) {
        return {{SoundLibraryName::Kind::untold, {}}};
    }
    const Configuration configuration(top);
    if (snd_input_buffer_open(&input, text.data(), static_cast<ssize_t>(text.size())) < 0) {
        return {{SoundLibraryName::Kind::untold, {}}};
    }
    // What comes before a fault in the text stays, as it does for ALSA.
    (void)snd_config_load(top, input);
    snd_input_close(input);
    NameCollector collector;
    collector.Walk(top, withTopLevelHooks);
    return collector.Take();
}

}  // namespace ZV::Platform
