// Libraries that lose memory that nothing of ours holds or could free, for the leak checker of the sanitizer builds:
// fontconfig a few hundred bytes once, while it parses its configuration files; Mesa's graphics driver (a module
// named *_dri.so) a few small blocks that it keeps to the end.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\nleak:_dri.so\n";
}
