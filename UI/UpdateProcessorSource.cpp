#include "UI/UpdateProcessorSource.h"

#include "ControlBase/ControlServices.h"

namespace ZV {

RCPtr<::LUpdateProcessor> FindApplicationUpdateProcessor()
{
    const auto* source = dynamic_cast<const IUpdateProcessorSource*>(&GetControlServices());
    return source != nullptr ? source->GetUpdateProcessor() : nullptr;
}

}  // namespace ZV
