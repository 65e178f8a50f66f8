#pragma once

#include <cstddef>
#include <string_view>

namespace ZV {

// Where a switch can begin in a command line whose arguments are joined by blanks, an argument or value that holds a
// blank being enclosed in double quotes: the first place from `from` on that starts an argument (the line's start, or
// right after a blank) outside quotes and holds the name, its letters in any case. npos when there is none. A name
// inside a path or a quoted value is text, never a switch: a file named "fw-ALWAYS_UPDATE" must not steer the run.
template <typename Char>
std::size_t FindSwitchStart(std::basic_string_view<Char> line, std::basic_string_view<Char> name, std::size_t from)
{
    const auto upper = [](Char character) {
        return character >= Char('a') && character <= Char('z') ? static_cast<Char>(character - Char('a') + Char('A'))
                                                                 : character;
    };
    const auto holdsName = [&](std::size_t position) {
        if (line.size() - position < name.size()) {
            return false;
        }
        for (std::size_t index = 0; index < name.size(); ++index) {
            if (upper(line[position + index]) != upper(name[index])) {
                return false;
            }
        }
        return true;
    };
    bool quoted = false;
    for (std::size_t position = 0; position < line.size(); ++position) {
        const bool startsArgument = position == 0 || line[position - 1] == Char(' ');
        if (!quoted && startsArgument && position >= from && holdsName(position)) {
            return position;
        }
        if (line[position] == Char('"')) {
            quoted = !quoted;
        }
    }
    return std::basic_string_view<Char>::npos;
}

}  // namespace ZV
