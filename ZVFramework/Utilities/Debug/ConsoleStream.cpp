#include "Utilities/Debug/ConsoleStream.h"

#include "Platform/StandardError.h"
#include "Utilities/Storage/UTFConversion.h"

#include <vector>

namespace ZV {

std::streamsize Utf8ErrorStreamBuffer::xsputn(const wchar_t* text, std::streamsize count)
{
    MutexLock lock(mLock);
    mPending.append(text, static_cast<std::size_t>(count));
    std::vector<unsigned char> utf8(mPending.size() * 4);
    const wchar_t* source = mPending.data();
    unsigned char* target = utf8.data();
    // Four bytes a unit is room for anything, so only a high surrogate at the end can stay unconverted.
    UTF::ConvertUTF16ToUTF8(source, mPending.data() + mPending.size(), target, utf8.data() + utf8.size());
    Platform::WriteToStandardError(reinterpret_cast<const char*>(utf8.data()),
                                   static_cast<std::size_t>(target - utf8.data()));
    mPending.erase(0, static_cast<std::size_t>(source - mPending.data()));
    return count;
}

Utf8ErrorStreamBuffer::int_type Utf8ErrorStreamBuffer::overflow(int_type unit)
{
    if (traits_type::eq_int_type(unit, traits_type::eof())) {
        return traits_type::not_eof(unit);
    }
    const wchar_t single = traits_type::to_char_type(unit);
    xsputn(&single, 1);
    return unit;
}

std::basic_ostream<wchar_t>& GetWideErrorStream()
{
    // Never destroyed: debug text may be written while the program's statics are torn down.
    static auto* buffer = new Utf8ErrorStreamBuffer();
    static auto* stream = new std::basic_ostream<wchar_t>(buffer);
    return *stream;
}

}  // namespace ZV
