#include "Platform/MidiOutputWriting.h"

namespace ZV::Platform {

bool WriteLongMessage(const MidiLongMessage& message, const PartialOutput& output,
                      const std::function<void(std::size_t taken)>& onTaken)
{
    std::size_t taken = 0;
    return message.WriteParts([&](const std::uint8_t* bytes, std::size_t count) {
        std::size_t offset = 0;
        while (offset < count) {
            const std::int64_t written = output.Write(bytes + offset, count - offset);
            if (written < 0) {
                return false;
            }
            if (written == 0) {
                if (!output.WaitUntilReady()) {
                    return false;
                }
                continue;
            }
            offset += static_cast<std::size_t>(written);
            taken += static_cast<std::size_t>(written);
            if (onTaken) {
                onTaken(taken);
            }
        }
        return true;
    });
}

}  // namespace ZV::Platform
