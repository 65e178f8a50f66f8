// Leaks are traced through every frame of the call that allocated them, also through libraries built without frame
// pointers: only then does the stack show the library call that made a block (tests/support/LibraryLeaks.cpp
// passes over those of Cairo's drawing calls by that name).
extern "C" const char* __asan_default_options()
{
    return "fast_unwind_on_malloc=0";
}
