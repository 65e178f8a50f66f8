#pragma once

#include "ObjectBase/Exception.h"
#include "ObjectBase/ResultCodes.h"
#include "ObjectBase/TypeName.h"

#include <atomic>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <typeinfo>
#include <utility>

namespace ZV {

template <class CharT, class OtherCharT>
class StringT;
template <class T>
class ConstRCPtr;

class IStringable {
public:
    virtual StringT<wchar_t, char> ToString() const = 0;

protected:
    ~IStringable() = default;
};

class IUndoable : public IStringable {
public:
    virtual void Undo() = 0;

protected:
    ~IUndoable() = default;
};

// The root of the object model. An object lives by its reference count and deletes itself when the last counted
// pointer lets it go. References that the object's own parts hold back to it are counted as internal references:
// when only those are left besides the one being released, ReleaseInternalReferences breaks the cycle.
class LRefCountedObject : public IUndoable {
public:
    LRefCountedObject() = default;
    // A copy is a new object: it starts with no references, whatever the original had.
    LRefCountedObject(const LRefCountedObject&) {}
    LRefCountedObject& operator=(const LRefCountedObject&) { return *this; }

    StringT<wchar_t, char> ToString() const override;
    void Undo() override;
    virtual std::int32_t AddRef() const;
    virtual std::int32_t Release() const
    {
        if (mRefCount.load(std::memory_order_acquire) == 1 && mInternalRefCount.load(std::memory_order_relaxed) == 0) {
            // The caller holds the only reference, so no other thread can reach the object to take one: it goes
            // without a locked decrement. The acquiring load saw every other holder's release.
            mRefCount.store(0, std::memory_order_relaxed);
            delete this;
            return 0;
        }
        return ReleaseShared();
    }
    [[nodiscard]] virtual ZVRESULT ReleaseInternalReferences();
    virtual ConstRCPtr<LRefCountedObject> CreateCopy() const;
    virtual ~LRefCountedObject();

    // true: one writer holds the object privately, and every further pointer that takes it gets its own copy.
    void SetUnshareable(bool unshareable);
    void AddInternalReferences(std::int32_t count);

    // Takes the first reference of an object that was just made and that nothing else can reach yet, so that
    // no other thread can count at the same time: without a locked increment.
    void TakeFirstReference() const
    {
        assert(mRefCount.load(std::memory_order_relaxed) == 0);
        mRefCount.store(1, std::memory_order_relaxed);
    }

    std::int32_t GetRefCount() const { return mRefCount.load(); }
    std::int32_t GetInternalRefCount() const { return mInternalRefCount.load(); }
    bool IsShareable() const { return mShareable.load(std::memory_order_relaxed); }

protected:
    // Gives up one reference by a locked decrement and returns the count left, without deleting the object when
    // none is: for a class that recycles its objects. At 0 nobody else holds the object any longer, so the caller
    // may take it back with TakeFirstReference. Not for objects with internal references (no cycle break here).
    std::int32_t ReleaseWithoutDeleting() const
    {
        assert(mInternalRefCount.load(std::memory_order_relaxed) == 0);
        return mRefCount.fetch_sub(1, std::memory_order_acq_rel) - 1;
    }

private:
    // Release while other references may exist: with the cycle break, by one locked decrement.
    std::int32_t ReleaseShared() const;

    mutable std::atomic<std::int32_t> mRefCount{0};
    std::atomic<std::int32_t> mInternalRefCount{0};
    mutable std::atomic<std::int32_t> mReleaseGuard{0};
    std::atomic<bool> mShareable{true};
};

// Passed with an object that was just made and that nothing else can reach yet: the counted pointer then takes
// its first reference (see LRefCountedObject::TakeFirstReference).
struct NewObject {
    explicit NewObject() = default;
};
inline constexpr NewObject kNewObject{};

// Passed with an object together with a reference to it that its giver counted already and hands over (a pool's
// reference to a spare it gives out): the counted pointer takes that reference over without counting again.
struct CountedReference {
    explicit CountedReference() = default;
};
inline constexpr CountedReference kCountedReference{};

// A counted pointer with read-only access. Taking an object adds a reference; when the object is unshareable the
// pointer takes a private copy instead (copy on write).
template <class T>
class ConstRCPtr {
public:
    using element_type = T;

    ConstRCPtr() noexcept = default;
    ConstRCPtr(std::nullptr_t) noexcept {}
    ConstRCPtr(const T* object) : mObject(const_cast<T*>(object)) { TakeReference(); }
    // A new object is shareable and held by nothing else, so it needs neither a copy nor a locked count.
    ConstRCPtr(const T* newObject, NewObject) : mObject(const_cast<T*>(newObject))
    {
        if (mObject != nullptr) {
            mObject->TakeFirstReference();
        }
    }
    // The reference was counted, and the copy on write done, when the giver took the object.
    ConstRCPtr(const T* object, CountedReference) noexcept : mObject(const_cast<T*>(object)) {}
    ConstRCPtr(const ConstRCPtr& other) : mObject(other.mObject) { TakeReference(); }
    ConstRCPtr(ConstRCPtr&& other) noexcept : mObject(std::exchange(other.mObject, nullptr)) {}

    // Upcasts convert implicitly; any other conversion is a checked run-time cast that yields null on a mismatch.
    template <class From>
        requires(!std::is_same_v<From, T>)
    explicit(!std::is_convertible_v<From*, T*>) ConstRCPtr(const ConstRCPtr<From>& other)
        : mObject(CastFrom(other.mObject))
    {
        TakeReference();
    }
    // An upcast from a pointer that lets its object go takes over its reference: nothing is counted.
    template <class From>
        requires(!std::is_same_v<From, T> && std::is_convertible_v<From*, T*>)
    ConstRCPtr(ConstRCPtr<From>&& other) noexcept : mObject(std::exchange(other.mObject, nullptr))
    {
    }

    ~ConstRCPtr()
    {
        if (mObject != nullptr) {
            mObject->Release();
        }
    }

    ConstRCPtr& operator=(const ConstRCPtr& other)
    {
        Assign(other.mObject);
        return *this;
    }
    ConstRCPtr& operator=(ConstRCPtr&& other) noexcept
    {
        if (this != &other) {
            T* previous = std::exchange(mObject, std::exchange(other.mObject, nullptr));
            if (previous != nullptr) {
                previous->Release();
            }
        }
        return *this;
    }
    ConstRCPtr& operator=(const T* object)
    {
        Assign(const_cast<T*>(object));
        return *this;
    }
    ConstRCPtr& operator=(std::nullptr_t)
    {
        Assign(nullptr);
        return *this;
    }

    const T* operator->() const { return mObject; }
    const T& operator*() const { return *mObject; }
    const T* Get() const { return mObject; }
    explicit operator bool() const { return mObject != nullptr; }
    bool IsNull() const { return mObject == nullptr; }

    // Copy on write: when others share the object, hold a private copy of it instead.
    void Unshare();

    friend bool operator==(const ConstRCPtr& left, const ConstRCPtr& right) { return left.mObject == right.mObject; }
    friend bool operator==(const ConstRCPtr& left, std::nullptr_t) { return left.mObject == nullptr; }

protected:
    template <class>
    friend class ConstRCPtr;

    template <class From>
    static T* CastFrom(From* object)
    {
        if constexpr (std::is_convertible_v<From*, T*>) {
            return object;
        } else {
            // Most conversions ask for the object's own class (a parameter record turned back into its record
            // type): the whole object then is the T, found without the general search of a dynamic cast.
            if (object != nullptr && typeid(*object) == typeid(T)) {
                return static_cast<T*>(dynamic_cast<void*>(object));
            }
            return dynamic_cast<T*>(object);
        }
    }

    void TakeReference()
    {
        if (mObject != nullptr) {
            mObject->AddRef();
            if (!mObject->IsShareable()) {
                UnshareOrLetGo();
            }
        }
    }

    // A copy that cannot be made leaves this pointer null, with the reference it took given back.
    void UnshareOrLetGo()
    {
        try {
            Unshare();
        } catch (...) {
            if (T* object = std::exchange(mObject, nullptr)) {
                object->Release();
            }
            throw;
        }
    }

    // The new reference is taken before the old one goes, so an object reachable only through the old is safe.
    void Assign(T* object)
    {
        if (object == mObject) {
            return;
        }
        T* previous = mObject;
        mObject = object;
        TakeReference();
        if (previous != nullptr) {
            previous->Release();
        }
    }

    T* mObject = nullptr;
};

// A counted pointer with read-write access; it counts and copies exactly as ConstRCPtr does.
template <class T>
class RCPtr : public ConstRCPtr<T> {
public:
    RCPtr() noexcept = default;
    RCPtr(std::nullptr_t) noexcept {}
    RCPtr(T* object) : ConstRCPtr<T>(object) {}
    RCPtr(T* newObject, NewObject tag) : ConstRCPtr<T>(newObject, tag) {}
    RCPtr(T* object, CountedReference tag) noexcept : ConstRCPtr<T>(object, tag) {}
    RCPtr(const RCPtr& other) = default;
    RCPtr(RCPtr&& other) noexcept = default;

    template <class From>
        requires(!std::is_same_v<From, T>)
    explicit(!std::is_convertible_v<From*, T*>) RCPtr(const RCPtr<From>& other)
        : ConstRCPtr<T>(static_cast<const ConstRCPtr<From>&>(other))
    {
    }
    template <class From>
        requires(!std::is_same_v<From, T> && std::is_convertible_v<From*, T*>)
    RCPtr(RCPtr<From>&& other) noexcept : ConstRCPtr<T>(static_cast<ConstRCPtr<From>&&>(other))
    {
    }

    RCPtr& operator=(const RCPtr& other) = default;
    RCPtr& operator=(RCPtr&& other) noexcept = default;
    RCPtr& operator=(T* object)
    {
        this->Assign(object);
        return *this;
    }
    RCPtr& operator=(std::nullptr_t)
    {
        this->Assign(nullptr);
        return *this;
    }

    T* operator->() const { return this->mObject; }
    T& operator*() const { return *this->mObject; }
    T* Get() const { return this->mObject; }
};

template <class T>
void ConstRCPtr<T>::Unshare()
{
    if (mObject == nullptr || mObject->GetRefCount() < 2) {
        return;
    }
    ConstRCPtr<T> copy(ConstRCPtr<LRefCountedObject>(mObject->CreateCopy()));
    if (copy.mObject != mObject) {
        T* previous = mObject;
        mObject = copy.mObject;
        TakeReference();
        previous->Release();
    }
    if (mObject == nullptr) {
        ZV_THROW_IN(JoinTemplateName("ZV::ConstRCPtr", TypeName<T>()) + "::Unshare", std::logic_error, TypeName<T>());
    }
}

}  // namespace ZV
