#include "Utilities/Debug/DebugStream.h"

#include "Platform/DebuggerOutput.h"
#include "Threading/Mutex.h"
#include "Utilities/Debug/DebugOutput.h"
#include "Utilities/Storage/StringT.h"

#include <algorithm>
#include <type_traits>

namespace ZV {

template <class CharT>
basic_debugbuf<CharT>::~basic_debugbuf()
{
    MutexLock lock(GetDebugOutputLock());
    if (!mCollected.empty()) {
        SendCollected();
    }
}

template <class CharT>
std::streamsize basic_debugbuf<CharT>::xsputn(const CharT* text, std::streamsize count)
{
    MutexLock lock(GetDebugOutputLock());
    std::streamsize written = 0;
    while (written < count) {
        if (mCollected.size() >= kMessageLimit) {
            SendCollected();
        }
        const auto piece = std::min<std::streamsize>(static_cast<std::streamsize>(kMessageLimit - mCollected.size()),
                                                     count - written);
        mCollected.append(text + written, static_cast<std::size_t>(piece));
        written += piece;
    }
    return count;
}

template <class CharT>
typename basic_debugbuf<CharT>::int_type basic_debugbuf<CharT>::overflow(int_type character)
{
    if (traits_type::eq_int_type(character, traits_type::eof())) {
        return traits_type::not_eof(character);
    }
    const CharT single = traits_type::to_char_type(character);
    xsputn(&single, 1);
    return character;
}

template <class CharT>
int basic_debugbuf<CharT>::sync()
{
    MutexLock lock(GetDebugOutputLock());
    SendCollected();
    return 0;
}

template <class CharT>
void basic_debugbuf<CharT>::SendCollected()
{
    // A NUL inside the text ends the message there.
    NarrowString utf8;
    if constexpr (std::is_same_v<CharT, wchar_t>) {
        // Text that does not convert is sent as far as it does.
        (void)utf8.AssignFromWide(mCollected.c_str(), -1);
    } else {
        utf8.Assign(mCollected.c_str(), NarrowString::kWholeText);
    }
    mCollected.clear();
    const int port = mOwner.GetPort();
    if (port <= 0) {
        Platform::WriteDebuggerOutput(utf8.GetData());
        return;
    }
    const std::string host = mOwner.GetHost();
    SendDebugDatagram(host.empty() ? nullptr : host.c_str(), port, utf8.GetData());
}

template <class CharT>
basic_dostream<CharT>::basic_dostream(const DebugOutput& owner)
    : std::basic_ostream<CharT>(nullptr), mBuffer(std::make_unique<basic_debugbuf<CharT>>(owner))
{
    this->init(mBuffer.get());
}

template class basic_debugbuf<char>;
template class basic_debugbuf<wchar_t>;
template class basic_dostream<char>;
template class basic_dostream<wchar_t>;

}  // namespace ZV
