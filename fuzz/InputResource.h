#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace ZV::Fuzz {

// Makes an input the document resource "::FUZZ_INPUT" (type "ZVXML") while this object lives, so that the code under
// test reads it by the same road as the program's own embedded documents. One at a time.
class InputResource {
public:
    static constexpr const wchar_t* kSource = L"::FUZZ_INPUT";

    InputResource(const std::uint8_t* data, std::size_t size);
    InputResource(const InputResource&) = delete;
    InputResource& operator=(const InputResource&) = delete;
    ~InputResource();

private:
    // The bytes and the NUL that resources keep after them.
    std::string mBytes;
};

}  // namespace ZV::Fuzz
