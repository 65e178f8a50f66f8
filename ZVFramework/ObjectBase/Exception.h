#pragma once

#include "ObjectBase/ResultCodes.h"

#include <exception>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>

namespace ZV {

// The common base by which every framework exception can be caught.
struct ExceptionBase {
    virtual ~ExceptionBase() = default;
    // The full text of the exception: the what() of the standard exception that this object also is.
    virtual const char* GetMessageText() const;
};

// The exception that carries a failing result code.
class FailedResultException : public std::exception {
public:
    explicit FailedResultException(std::string text) : mText(std::move(text)) {}
    const char* what() const noexcept override { return mText.c_str(); }

private:
    std::string mText;
};

// What is thrown: the standard exception E first, then ExceptionBase.
template <class E>
class Exception : public E, public ExceptionBase {
public:
    explicit Exception(const char* text) : E(text) {}
    explicit Exception(const std::string& text) : E(text) {}
};

template <>
class Exception<std::bad_alloc> : public std::bad_alloc, public ExceptionBase {
public:
    const char* what() const noexcept override { return "bad allocation"; }
};

// The word that begins every text thrown with E.
template <class E>
struct ExceptionKind;
template <>
struct ExceptionKind<std::logic_error> {
    static constexpr const char* Word = "Logic Error";
};
template <>
struct ExceptionKind<std::runtime_error> {
    static constexpr const char* Word = "Runtime Error";
};
template <>
struct ExceptionKind<std::out_of_range> {
    static constexpr const char* Word = "Out of Range";
};
template <>
struct ExceptionKind<std::domain_error> {
    static constexpr const char* Word = "Domain Error";
};
template <>
struct ExceptionKind<std::invalid_argument> {
    static constexpr const char* Word = "Invalid Argument";
};
template <>
struct ExceptionKind<FailedResultException> {
    static constexpr const char* Word = "Failed Result";
};

// "ZVRESULT = " and the code in upper-case hexadecimal without leading zeros.
std::string FormatResultCode(ZVRESULT code);

// Where a throw happens. The function is either a compiler signature (__PRETTY_FUNCTION__, reduced to its
// qualified name) or, inside templates, the qualified name already spelled with its template arguments.
struct ThrowSite {
    std::string_view function;
    bool functionIsSignature;
    const char* file;
    int line;
};

// "ZV::LRefCountedObject::Undo" from "virtual void ZV::LRefCountedObject::Undo() const".
std::string QualifiedFunctionName(std::string_view signature);

// The source path as the build saw it, without its extension.
std::string SourcePathWithoutExtension(std::string_view file);

// Kind, optional sub-kind, optional message, function, path and line, joined by " : ".
std::string ComposeExceptionText(std::string_view kind, std::string_view subKind, std::string_view message,
                                 const ThrowSite& site);

template <class E>
[[noreturn]] void ThrowFrameworkException(const ThrowSite& site, std::string_view subKind, std::string_view message)
{
    throw Exception<E>(ComposeExceptionText(ExceptionKind<E>::Word, subKind, message, site));
}

[[noreturn]] void ThrowFailedResult(const ThrowSite& site, ZVRESULT result);

inline void ThrowIfFailed(const ThrowSite& site, ZVRESULT result)
{
    if (Failed(result)) {
        ThrowFailedResult(site, result);
    }
}

}  // namespace ZV

#define ZV_THROW_SITE ::ZV::ThrowSite{__PRETTY_FUNCTION__, true, __FILE__, __LINE__}
#define ZV_THROW_SITE_IN(function) ::ZV::ThrowSite{(function), false, __FILE__, __LINE__}

// Throws ZV::Exception<E> with the given message ("" for none), naming the enclosing function.
#define ZV_THROW(E, message) ::ZV::ThrowFrameworkException<E>(ZV_THROW_SITE, {}, (message))
// The same with the sub-kind "Null Pointer", for an object that was not found or not given.
#define ZV_THROW_NULL_POINTER(E, message) ::ZV::ThrowFrameworkException<E>(ZV_THROW_SITE, "Null Pointer", (message))
// For templates: the qualified function name is given, spelled with its template arguments.
#define ZV_THROW_IN(function, E, message) ::ZV::ThrowFrameworkException<E>(ZV_THROW_SITE_IN(function), {}, (message))
// The same with the sub-kind "Null Pointer".
#define ZV_THROW_NULL_POINTER_IN(function, E, message) \
    ::ZV::ThrowFrameworkException<E>(ZV_THROW_SITE_IN(function), "Null Pointer", (message))
// Memory the heap refused: "bad allocation", caught as std::bad_alloc.
#define ZV_THROW_OUT_OF_MEMORY() throw ::ZV::Exception<std::bad_alloc>()
// Turns a failing result code into a "Failed Result" exception; 0 and 1 pass.
#define ZV_THROW_IF_FAILED(result) ::ZV::ThrowIfFailed(ZV_THROW_SITE, (result))
#define ZV_THROW_IF_FAILED_IN(function, result) ::ZV::ThrowIfFailed(ZV_THROW_SITE_IN(function), (result))
