#pragma once

#include <memory>
#include <mutex>

typedef struct _snd_config snd_config_t;
typedef struct _snd_ctl snd_ctl_t;
typedef struct _snd_rawmidi snd_rawmidi_t;

namespace ZV::Platform {

// Opens ALSA's devices with the configuration they are to be given. ALSA reads the user's settings (~/.asoundrc and
// $XDG_CONFIG_HOME/alsa/asoundrc) from the home, and those settings can name libraries that it loads and runs: in a
// run of root's with another user's home, that user's code. Where the program refuses the home or that configuration
// folder (as Platform/CheckedFolder.h asks), this is the system's configuration without the user's files, and one line
// of debug output says so; otherwise none is made, and ALSA reads its own as it always does.
class SoundLibraryConfiguration {
public:
    // Judges the home as the environment names it now.
    SoundLibraryConfiguration();

    // snd_ctl_open and snd_rawmidi_open with this configuration. Any thread.
    int OpenControl(snd_ctl_t** control, const char* name) const;
    int OpenRawMidi(snd_rawmidi_t** input, snd_rawmidi_t** output, const char* name, int mode) const;

private:
    struct Deleter {
        void operator()(snd_config_t* configuration) const;
    };
    // Null for ALSA's own.
    std::unique_ptr<snd_config_t, Deleter> mConfiguration;
    // ALSA works hooks out in a configuration as it searches it, so one of ours is searched by one open at a time.
    mutable std::mutex mSearch;
};

}  // namespace ZV::Platform
