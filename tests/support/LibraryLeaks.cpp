// Libraries that lose memory that nothing of ours holds or could free, for the leak checker of the sanitizer builds:
// fontconfig a few hundred bytes once, while it parses its configuration files; Mesa's graphics driver (a module
// named *_dri.so) a few small blocks that it keeps to the end; Cairo's X11 back end a 32-byte record for each image
// it handed the server through shared memory that the server had not yet taken when the display closed (the close
// frees the queue of those records, not the records). Cairo exports no name for the functions that make the record:
// it is matched by the drawing calls that carry an image onto a window (cairo_fill, cairo_paint and their
// _preserve and _with_alpha forms). A drawing call hands nothing back, so what it loses is Cairo's own, while a Cairo
// object of ours left behind was made by a create call and still shows.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\nleak:_dri.so\nleak:cairo_fill\nleak:cairo_paint\n";
}
