#include "ObjectBase/Exception.h"

#include <cstdio>

namespace ZV {

const char* ExceptionBase::GetMessageText() const
{
    const auto* standard = dynamic_cast<const std::exception*>(this);
    return standard != nullptr ? standard->what() : "";
}

std::string FormatResultCode(ZVRESULT code)
{
    char digits[65];
    std::snprintf(digits, sizeof digits, "%X", static_cast<unsigned>(code));
    return std::string("ZVRESULT = ") + digits;
}

namespace {

// Index of the '(' that opens the parameter list which ends at closeIndex, or npos.
std::size_t MatchingOpenParenthesis(std::string_view text, std::size_t closeIndex)
{
    int depth = 0;
    for (std::size_t i = closeIndex + 1; i-- > 0;) {
        if (text[i] == ')') {
            ++depth;
        } else if (text[i] == '(' && --depth == 0) {
            return i;
        }
    }
    return std::string_view::npos;
}

// Where the template arguments that g++ (" [with T = ...]") and clang (" [T = ...]") append to a signature begin,
// or the end of the text.
std::size_t TemplateArgumentsStart(std::string_view text)
{
    int depth = 0;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '(') {
            ++depth;
        } else if (text[i] == ')') {
            --depth;
        } else if (depth == 0 && text[i] == ' ' && text[i + 1] == '[') {
            return i;
        }
    }
    return text.size();
}

}  // namespace

std::string QualifiedFunctionName(std::string_view signature)
{
    // clang names an unnamed namespace as g++ does not; one spelling keeps the texts the same under both.
    std::string spelled(signature);
    constexpr std::string_view kClangAnonymous = "(anonymous namespace)";
    for (std::size_t at = spelled.find(kClangAnonymous); at != std::string::npos;
         at = spelled.find(kClangAnonymous, at)) {
        spelled.replace(at, kClangAnonymous.size(), "{anonymous}");
    }
    std::string_view text = spelled;
    text = text.substr(0, TemplateArgumentsStart(text));
    const std::size_t close = text.rfind(')');
    if (close == std::string_view::npos) {
        return std::string(text);
    }
    const std::size_t open = MatchingOpenParenthesis(text, close);
    if (open == std::string_view::npos) {
        return std::string(text);
    }
    // Walk back over the name to the blank that ends the return type, skipping blanks inside template brackets.
    int angleDepth = 0;
    std::size_t start = 0;
    for (std::size_t i = open; i-- > 0;) {
        const char c = text[i];
        if (c == '>') {
            ++angleDepth;
        } else if (c == '<') {
            --angleDepth;
        } else if (c == ' ' && angleDepth == 0) {
            start = i + 1;
            break;
        }
    }
    std::string_view name = text.substr(start, open - start);
    while (!name.empty() && (name.front() == '*' || name.front() == '&')) {
        name.remove_prefix(1);
    }
    return std::string(name);
}

std::string SourcePathWithoutExtension(std::string_view file)
{
    const std::size_t lastSeparator = file.find_last_of("/\\");
    const std::size_t dot = file.rfind('.');
    if (dot != std::string_view::npos && (lastSeparator == std::string_view::npos || dot > lastSeparator)) {
        file = file.substr(0, dot);
    }
    return std::string(file);
}

std::string ComposeExceptionText(std::string_view kind, std::string_view subKind, std::string_view message,
                                 const ThrowSite& site)
{
    std::string text(kind);
    text += " : ";
    if (!subKind.empty()) {
        text += subKind;
        text += " : ";
    }
    if (!message.empty()) {
        text += message;
        text += " : ";
    }
    text += site.functionIsSignature ? QualifiedFunctionName(site.function) : std::string(site.function);
    text += " : ";
    text += SourcePathWithoutExtension(site.file);
    text += " : Line ";
    text += std::to_string(site.line);
    return text;
}

void ThrowFailedResult(const ThrowSite& site, ZVRESULT result)
{
    throw Exception<FailedResultException>(
        ComposeExceptionText(ExceptionKind<FailedResultException>::Word, {}, FormatResultCode(result), site));
}

}  // namespace ZV
