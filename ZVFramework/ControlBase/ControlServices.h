#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "Utilities/Storage/StringT.h"

namespace ZV {

class LControlFactory;
class LGlobalHotKeyManager;
class LFont;

// What controls take from the application. The application installs its own when it starts; tests install theirs.
// The millisecond clock and the measurement renderer are the rendering services' (Renderer/RenderingServices.h).
// Used on the user-interface thread only.
class IControlServices {
public:
    // The factory that builds controls from the skin and holds their string tables; null while there is none.
    virtual RCPtr<LControlFactory> GetControlFactory() = 0;
    // The application's clock in seconds, as a fraction; only its differences count.
    virtual double GetTimeSeconds() = 0;
    // The application's hot keys, asked last for a key or menu command that no control or window took; what they
    // send goes to the application's notification centre. Unless replaced, none.
    virtual RCPtr<LGlobalHotKeyManager> GetHotKeyManager();
    // The font that top-level controls, and those that do not inherit their parent's, derive theirs from. Unless
    // replaced: the current skin's font, with the desktop's font where the skin names no face or size; null when
    // neither gives one.
    virtual RCPtr<LFont> GetDefaultFont();
    // The status text that the application shows, at once or at its next idle pass (a menu item's description
    // while the pointer rests on it), and back to the status bar's own text. Unless replaced, there is no status
    // bar: ZV_E_FAIL.
    [[nodiscard]] virtual ZVRESULT SetStatusText(const WideString& text, bool immediately);
    [[nodiscard]] virtual ZVRESULT ResetStatusText(bool immediately);

protected:
    ~IControlServices() = default;
};

IControlServices& GetControlServices();

// Installs the services that controls use from now on and returns the ones they used before. Null goes back to the
// services of a program without an application: no factory, and the platform's clock.
IControlServices* SetControlServices(IControlServices* services);

}  // namespace ZV
