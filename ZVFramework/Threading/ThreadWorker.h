#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"

namespace ZV {

// A job that a threader or a thread pool runs on its own thread.
class LThreadWorker : public virtual LRefCountedObject {
public:
    // The parameter is the one handed over with the job, possibly empty.
    [[nodiscard]] virtual ZVRESULT DoWork(const ConstRCPtr<LRefCountedObject>& parameter) = 0;
};

}  // namespace ZV
