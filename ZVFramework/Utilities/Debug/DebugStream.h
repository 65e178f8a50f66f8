#pragma once

#include <memory>
#include <ostream>
#include <streambuf>
#include <string>

namespace ZV {

class DebugOutput;

// Collects what a debug stream is given and sends it on each flush as one message: to the debugger's output, or,
// when its DebugOutput names a UDP port, as one datagram (wide text as UTF-8). A message carries at most 1023
// characters; a longer text goes out in pieces of 1023 as it is written. Every write and flush holds the debug output
// lock, so threads may share a stream.
template <class CharT>
class basic_debugbuf : public std::basic_streambuf<CharT> {
public:
    static constexpr std::size_t kMessageLimit = 1023;

    explicit basic_debugbuf(const DebugOutput& owner) : mOwner(owner) {}
    basic_debugbuf(const basic_debugbuf&) = delete;
    basic_debugbuf& operator=(const basic_debugbuf&) = delete;
    ~basic_debugbuf() override;

protected:
    using int_type = typename std::basic_streambuf<CharT>::int_type;
    using traits_type = typename std::basic_streambuf<CharT>::traits_type;

    std::streamsize xsputn(const CharT* text, std::streamsize count) override;
    // No put area is ever set up, so every single character comes through here under the lock.
    int_type overflow(int_type character) override;
    int sync() override;

private:
    void SendCollected();

    const DebugOutput& mOwner;
    std::basic_string<CharT> mCollected;
};

// An output stream that owns its basic_debugbuf.
template <class CharT>
class basic_dostream : public std::basic_ostream<CharT> {
public:
    explicit basic_dostream(const DebugOutput& owner);
    basic_dostream(const basic_dostream&) = delete;
    basic_dostream& operator=(const basic_dostream&) = delete;
    ~basic_dostream() override = default;

private:
    std::unique_ptr<basic_debugbuf<CharT>> mBuffer;
};

extern template class basic_debugbuf<char>;
extern template class basic_debugbuf<wchar_t>;
extern template class basic_dostream<char>;
extern template class basic_dostream<wchar_t>;

}  // namespace ZV
