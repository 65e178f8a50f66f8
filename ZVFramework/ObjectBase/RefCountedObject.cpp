#include "ObjectBase/RefCountedObject.h"

#include "Utilities/Storage/StringT.h"

namespace ZV {

LRefCountedObject::~LRefCountedObject() = default;

StringT<wchar_t, char> LRefCountedObject::ToString() const
{
    StringT<wchar_t, char> name;
    name.AssignFromUTF8(RuntimeClassName(typeid(*this)).c_str(), -1);
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

std::int32_t LRefCountedObject::Release() const
{
    const std::int32_t references = mRefCount.load();
    const std::int32_t internalReferences = mInternalRefCount.load();
    if (references == internalReferences + 1 && mReleaseGuard.load() == 0 && internalReferences > 0) {
        ++mReleaseGuard;
        const_cast<LRefCountedObject*>(this)->ReleaseInternalReferences();
        --mReleaseGuard;
    }
    const std::int32_t remaining = --mRefCount;
    if (remaining == 0) {
        delete this;
    }
    return remaining;
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
