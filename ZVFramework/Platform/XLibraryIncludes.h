#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ZV::Platform {

// Where libX11 (1.8) keeps the locales' files, compose tables among them, unless XLOCALEDIR names folders before it.
inline constexpr char kXLocaleFolder[] = "/usr/share/X11/locale";

// The files a compose table includes ("include" and a name, quoted or not), each by the path libX11 opens: "%H" the
// home of the environment, "%S" the locales' folders. "%L" alone, the locale's own table in those folders, is left
// out. Where the text leaves room for doubt, a name is found that libX11 would not take as one, never the other way
// round.
std::vector<std::string> FindComposeIncludes(std::string_view text);

// The files an X resource text includes ("#include" and a quoted name, first on its line), each by the path Xlib
// opens: a relative name in the folder of the file that includes it, or as it stands in a text of no file.
std::vector<std::string> FindResourceIncludes(std::string_view text, const std::string& file);

}  // namespace ZV::Platform
