#include "ControlBase/Harness/KeyRouter.h"

namespace ZV::Testing {

void KeyRouter::RouteKey(const RCPtr<LKeyParam>& key)
{
    mWindow->HideToolTip();
    if (const RCPtr<LControl> focused = mWindow->GetFocusControl()) {
        focused->OnKey(key);
    }
}

void KeyRouter::Press(std::uint8_t virtualKey, std::uint32_t modifiers, bool fromWindow)
{
    RouteKey(LKeyParam::Create(KeyCode(virtualKey, true, 0, modifiers), fromWindow));
}

}  // namespace ZV::Testing
