// fontconfig loses a few hundred bytes once, while it parses its configuration files; nothing of ours holds or
// could free them. The leak checker of the sanitizer builds reads this list.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
