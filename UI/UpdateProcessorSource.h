#pragma once

#include "Engine/UpdateProcessor.h"
#include "ObjectBase/RefCountedObject.h"

namespace ZV {

// What the main window takes from the application object: the update processor that it drives. The application is
// the controls' services (ControlBase/ControlServices.h); it offers its processor by being such a source as well.
class IUpdateProcessorSource {
public:
    // Null before the application's start-up made it.
    virtual const RCPtr<::LUpdateProcessor>& GetUpdateProcessor() const = 0;

protected:
    ~IUpdateProcessorSource() = default;
};

// The processor of the controls' services when they are a source; null otherwise.
RCPtr<::LUpdateProcessor> FindApplicationUpdateProcessor();

}  // namespace ZV
