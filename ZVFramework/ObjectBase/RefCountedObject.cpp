#include "ObjectBase/RefCountedObject.h"

#include "Utilities/Storage/StringT.h"

namespace ZV {

LRefCountedObject::~LRefCountedObject() = default;

StringT<wchar_t, char> LRefCountedObject::ToString() const
{
    StringT<wchar_t, char> name;
    // A name that does not convert is kept as far as it does.
    (void)name.AssignFromUTF8(RuntimeClassName(typeid(*this)).c_str(), -1);
    return name;
}

void LRefCountedObject::Undo()
{
    ZV_THROW(std::logic_error, "Undo() not implemented for RefCountedObject");
}

std::int32_t LRefCountedObject::AddRef() const
{
    return ++mRefCount;
}

std::int32_t LRefCountedObject::ReleaseShared() const
{
    std::int32_t references = mRefCount.load();
    for (;;) {
        const std::int32_t internalReferences = mInternalRefCount.load();
        if (references == internalReferences + 1 && mReleaseGuard.load() == 0 && internalReferences > 0) {
            ++mReleaseGuard;
            (void)const_cast<LRefCountedObject*>(this)->ReleaseInternalReferences();
            --mReleaseGuard;
            references = --mRefCount;
            break;
        }
        // Only a decrement from the count just looked at may pass the cycle break by: when two threads let go of
        // the last two outside references at once, one of them must see itself as the last.
        if (mRefCount.compare_exchange_weak(references, references - 1)) {
            --references;
            break;
        }
    }
    if (references == 0) {
        delete this;
    }
    return references;
}

ZVRESULT LRefCountedObject::ReleaseInternalReferences()
{
    return mInternalRefCount.load() == 0 && mRefCount.load() == 1 ? ZV_S_OK : ZV_E_FAIL;
}

ConstRCPtr<LRefCountedObject> LRefCountedObject::CreateCopy() const
{
    ZV_THROW(std::logic_error, "CreateCopy() not implemented for RefCountedObject");
}

void LRefCountedObject::SetUnshareable(bool unshareable)
{
    if (unshareable && mRefCount.load() > 1) {
        ZV_THROW(std::runtime_error, "");
    }
    mShareable.store(!unshareable, std::memory_order_relaxed);
}

void LRefCountedObject::AddInternalReferences(std::int32_t count)
{
    mInternalRefCount.fetch_add(count);
}

}  // namespace ZV
