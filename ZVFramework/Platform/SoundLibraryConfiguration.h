#pragma once

#include <memory>
#include <mutex>

typedef struct _snd_config snd_config_t;
typedef struct _snd_ctl snd_ctl_t;
typedef struct _snd_rawmidi snd_rawmidi_t;

namespace ZV::Platform {

// Opens ALSA's devices with a configuration of the program's own making. ALSA's own would read the files its system
// configuration lists (among them ~/.asoundrc and $XDG_CONFIG_HOME/alsa/asoundrc) and whatever those include, by
// their names, waiting on a named pipe for ever; and those settings can name libraries that it loads and runs: in a
// run of root's with another user's files, that user's code. This one is the system's configuration with the files it
// lists each judged (Platform/JudgedPaths.h), and what they include: a file that is refused, or includes one, or names
// it relatively, is left out, one line of debug output for each. The files are read by the program, without waiting,
// and handed to ALSA as text. A user's own files, and root's own, are read as ALSA reads them.
class SoundLibraryConfiguration {
public:
    // Made as the environment names the files now.
    SoundLibraryConfiguration();

    // snd_ctl_open and snd_rawmidi_open with this configuration. Any thread.
    int OpenControl(snd_ctl_t** control, const char* name) const;
    int OpenRawMidi(snd_rawmidi_t** input, snd_rawmidi_t** output, const char* name, int mode) const;

private:
    struct Deleter {
        void operator()(snd_config_t* configuration) const;
    };
    std::unique_ptr<snd_config_t, Deleter> mConfiguration;
    // ALSA works hooks out in a configuration as it searches it, so one of ours is searched by one open at a time.
    mutable std::mutex mSearch;
};

}  // namespace ZV::Platform
