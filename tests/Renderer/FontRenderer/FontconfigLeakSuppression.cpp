// Fontconfig keeps a few hundred bytes from parsing its configuration files that only FcFini would free, and FcFini
// cannot be called while other users of fontconfig (Cairo's font caches) may still hold its patterns. The leak
// checker is told that this block is fontconfig's own.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
