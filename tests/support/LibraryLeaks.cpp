// Libraries that lose memory that nothing of ours holds or could free, for the leak checker of the sanitizer builds:
// fontconfig a few hundred bytes once, while it parses its configuration files; Mesa's graphics driver (a module
// named *_dri.so) a few small blocks that it keeps to the end; Cairo's X11 back end a 32-byte block for each
// drawing onto part of a window that the server had not yet caught up with (a partial repaint), which nothing
// frees. That block is taken under whichever drawing call reaches the window, so Cairo is matched as a library: a
// Cairo object of ours left behind is passed over too.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\nleak:_dri.so\nleak:libcairo.so\n";
}
