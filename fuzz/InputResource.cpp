#include "InputResource.h"

#include "Platform/EmbeddedResources.h"

namespace ZV::Fuzz {

namespace {

Platform::EmbeddedResource gInput[] = {{"FUZZ_INPUT", "ZVXML", nullptr, 0}};
// Registered once; each input only changes where the entry points.
const Platform::EmbeddedResourceTable gInputTable(gInput, 1);

}  // namespace

InputResource::InputResource(const std::uint8_t* data, std::size_t size)
    : mBytes(reinterpret_cast<const char*>(data), size)
{
    gInput[0].data = reinterpret_cast<const unsigned char*>(mBytes.c_str());
    gInput[0].size = size;
}

InputResource::~InputResource()
{
    gInput[0].data = nullptr;
    gInput[0].size = 0;
}

}  // namespace ZV::Fuzz
