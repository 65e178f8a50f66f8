#pragma once

#include "Utilities/Storage/StringT.h"

#include <cstddef>
#include <string_view>

namespace ZV {

// How a command line holds its arguments, by the conventional rule of C runtimes that split one command-line string,
// so that a line typed as one string splits as its writer expects, and a line written from arguments splits back
// into exactly those arguments.
// - Blanks (spaces and tabs) outside double quotes separate arguments; a run of them is one separator.
// - A double quote opens or closes a group, inside which blanks belong to the argument; the quote itself does not.
//   A group left open runs to the end of the line.
// - Backslashes stand for themselves, except right before a double quote: 2n of them and the quote give n backslashes
//   and a grouping quote, 2n + 1 give n backslashes and a quote that belongs to the argument.

namespace CommandLineRule {

template <class CharT>
constexpr CharT kQuote = CharT('"');
template <class CharT>
constexpr CharT kBackslash = CharT('\\');

template <class CharT>
constexpr bool IsBlank(CharT character)
{
    return character == CharT(' ') || character == CharT('\t');
}

template <class CharT, class OtherCharT>
void AppendBackslashes(StringT<CharT, OtherCharT>& text, std::size_t count)
{
    for (; count > 0; --count) {
        text.AppendChar(kBackslash<CharT>);
    }
}

}  // namespace CommandLineRule

// Appends the argument to the line, after a blank unless the line is empty, written so that CommandLineSplitter reads
// it back as it is. An argument without blanks or double quotes stands as it is; any other, the empty one too, is
// enclosed in double quotes: a switch with a value ("-NAME=value") from just after its "=", so that the line reads as
// switches are typed, any other argument whole.
template <class CharT, class OtherCharT>
void AppendCommandLineArgument(StringT<CharT, OtherCharT>& line, std::basic_string_view<CharT> argument)
{
    using namespace CommandLineRule;
    const auto needsQuotes = [](std::basic_string_view<CharT> text) {
        for (const CharT character : text) {
            if (character == kQuote<CharT> || IsBlank(character)) {
                return true;
            }
        }
        return false;
    };
    if (!line.IsEmpty()) {
        line.AppendChar(CharT(' '));
    }
    const bool plain = !argument.empty() && !needsQuotes(argument);
    std::size_t quotedFrom = 0;
    if (!plain && argument.starts_with(CharT('-'))) {
        const std::size_t equals = argument.find(CharT('='));
        if (equals != std::basic_string_view<CharT>::npos && !needsQuotes(argument.substr(0, equals))) {
            quotedFrom = equals + 1;
        }
    }
    for (const CharT character : argument.substr(0, quotedFrom)) {
        line.AppendChar(character);
    }
    if (!plain) {
        line.AppendChar(kQuote<CharT>);
    }
    std::size_t backslashes = 0;
    for (const CharT character : argument.substr(quotedFrom)) {
        if (character == kBackslash<CharT>) {
            ++backslashes;
            continue;
        }
        AppendBackslashes(line, character == kQuote<CharT> ? 2 * backslashes + 1 : backslashes);
        line.AppendChar(character);
        backslashes = 0;
    }
    // Before the closing quote, backslashes are doubled so that they do not escape it.
    AppendBackslashes(line, plain ? backslashes : 2 * backslashes);
    if (!plain) {
        line.AppendChar(kQuote<CharT>);
    }
}

// Reads the arguments of a command line one by one, front to back, each in time proportional to its length in the
// line.
template <class CharT>
class CommandLineSplitter {
public:
    explicit CommandLineSplitter(std::basic_string_view<CharT> line) : mLine(line) {}

    // The next argument; false when the line holds no more.
    template <class OtherCharT>
    bool Next(StringT<CharT, OtherCharT>& argument)
    {
        using namespace CommandLineRule;
        argument.Empty();
        while (mPosition < mLine.size() && IsBlank(mLine[mPosition])) {
            ++mPosition;
        }
        if (mPosition == mLine.size()) {
            return false;
        }
        bool grouped = false;
        std::size_t backslashes = 0;
        for (; mPosition < mLine.size(); ++mPosition) {
            const CharT character = mLine[mPosition];
            if (character == kBackslash<CharT>) {
                ++backslashes;
                continue;
            }
            if (character == kQuote<CharT>) {
                AppendBackslashes(argument, backslashes / 2);
                if (backslashes % 2 == 1) {
                    argument.AppendChar(character);
                } else {
                    grouped = !grouped;
                }
                backslashes = 0;
                continue;
            }
            AppendBackslashes(argument, backslashes);
            backslashes = 0;
            if (!grouped && IsBlank(character)) {
                break;
            }
            argument.AppendChar(character);
        }
        AppendBackslashes(argument, backslashes);
        return true;
    }

private:
    std::basic_string_view<CharT> mLine;
    std::size_t mPosition = 0;
};

// Whether the argument begins with the switch's name, ASCII letters in either case.
template <class CharT>
bool BeginsWithSwitchName(std::basic_string_view<CharT> argument, std::basic_string_view<CharT> name)
{
    const auto upper = [](CharT character) {
        const bool lower = character >= CharT('a') && character <= CharT('z');
        return lower ? static_cast<CharT>(character - CharT('a') + CharT('A')) : character;
    };
    if (argument.size() < name.size()) {
        return false;
    }
    for (std::size_t index = 0; index < name.size(); ++index) {
        if (upper(argument[index]) != upper(name[index])) {
            return false;
        }
    }
    return true;
}

}  // namespace ZV
