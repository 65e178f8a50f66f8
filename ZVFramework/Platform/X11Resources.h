#pragma once

struct _XDisplay;
struct _XrmHashBucketRec;

namespace ZV::Platform {

// The resource database that Xlib would make for a connection when first asked for a resource (by XGetDefault, as
// Cairo and libXcursor ask): the display's resources, else the home's ~/.Xdefaults; and over them the file that
// XENVIRONMENT names, else the home's ~/.Xdefaults-<host>. Xlib reads those files by their names, and what they
// include, waiting on a named pipe for ever: here each is read only when it, and all it includes, passes the judgement
// (Platform/JudgedPaths.h), one line of debug output naming one left out; the display's resources too are left out
// when what they include does not pass. Never null: in place of none, Xlib would make its own.
_XrmHashBucketRec* MakeJudgedResourceDatabase(_XDisplay* display);

}  // namespace ZV::Platform
