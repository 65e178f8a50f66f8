#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/TaggableObject.h"
#include "TestSupport.h"
#include "Utilities/Storage/Buffer.h"
#include "Utilities/Storage/StringT.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace ZV {

// Named like framework classes so that the texts read as the framework's own.
class LCountedProbe : public virtual LRefCountedObject {
public:
    static inline int sLiving = 0;
    LCountedProbe() { ++sLiving; }
    ~LCountedProbe() override { --sLiving; }
};

class LOtherProbe : public virtual LRefCountedObject {};

// An owner whose part holds a counted reference back to it, as a queue and its posting receiver do.
class LCyclicOwner : public virtual LRefCountedObject {
public:
    static inline int sLiving = 0;
    int releaseInternalCalls = 0;

    LCyclicOwner()
    {
        ++sLiving;
        mSelf = this;
        AddInternalReferences(1);
    }
    ~LCyclicOwner() override { --sLiving; }

    ZVRESULT ReleaseInternalReferences() override
    {
        ++releaseInternalCalls;
        AddInternalReferences(-1);
        mSelf = nullptr;
        return LRefCountedObject::ReleaseInternalReferences();
    }

private:
    ConstRCPtr<LCyclicOwner> mSelf;
};

// A copyable class whose copy is not of its own class, so that copy on write cannot produce one.
class LForeignCopier : public virtual LRefCountedObject {
public:
    ConstRCPtr<LRefCountedObject> CreateCopy() const override { return RCPtr<LOtherProbe>(new LOtherProbe); }
};

namespace {

using Testing::TextMatchesThrow;
using Testing::ThrownText;

TEST(RefCount, LastOutsideReleaseBreaksTheCycleOnceAndFreesTheObject)
{
    RCPtr<LCyclicOwner> owner(new LCyclicOwner);
    EXPECT_EQ(owner->GetRefCount(), 2);
    EXPECT_EQ(owner->GetInternalRefCount(), 1);
    ConstRCPtr<LCyclicOwner> second(owner);
    second = nullptr;
    EXPECT_EQ(owner->releaseInternalCalls, 0) << "an outside reference remains";
    owner = nullptr;
    EXPECT_EQ(LCyclicOwner::sLiving, 0);

    auto* plain = new LCountedProbe;
    EXPECT_EQ(plain->GetRefCount(), 0);
    plain->AddRef();
    EXPECT_EQ(plain->Release(), 0);
    EXPECT_EQ(LCountedProbe::sLiving, 0) << "deleted exactly when Release returns 0";

    RCPtr<LCountedProbe> first(new LCountedProbe, kNewObject);
    EXPECT_EQ(first->GetRefCount(), 1) << "a new object's first reference";
    const ConstRCPtr<LCountedProbe> kept(first);
    first = nullptr;
    EXPECT_EQ(LCountedProbe::sLiving, 1);
    EXPECT_EQ(kept->GetRefCount(), 1);
}

// Each holder is let go by a thread of its own, all at the same moment.
template <class Pointer>
void LetGoAtOnce(std::vector<Pointer>& holders)
{
    const int count = static_cast<int>(holders.size());
    std::atomic<int> ready{0};
    std::vector<std::thread> threads;
    for (Pointer& holder : holders) {
        threads.emplace_back([&ready, &holder, count] {
            ++ready;
            while (ready.load() < count) {
            }
            holder = nullptr;
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
}

// When two threads let go of the last two outside references of an owner at once, one of them must still break
// the cycle. A plain object's last holder deletes it without a locked decrement; whichever thread that is, the
// object goes exactly once and after every other holder is done with it.
TEST(RefCount, ThreadsLettingGoOfTheLastReferencesAtOnceFreeTheObjectExactlyOnce)
{
    for (int round = 0; round < 2000; ++round) {
        RCPtr<LCyclicOwner> owner(new LCyclicOwner);
        std::vector<RCPtr<LCyclicOwner>> owners(2, owner);
        owner = nullptr;
        LetGoAtOnce(owners);
        ASSERT_EQ(LCyclicOwner::sLiving, 0) << "round " << round;

        std::vector<ConstRCPtr<LCountedProbe>> probes(3, ConstRCPtr<LCountedProbe>(new LCountedProbe, kNewObject));
        LetGoAtOnce(probes);
        ASSERT_EQ(LCountedProbe::sLiving, 0) << "round " << round;
    }
}

TEST(Unshareable, IsRefusedWhileSharedAndCopiesForEveryFurtherPointer)
{
    RCPtr<LIBuffer> buffer = StringBuffer::Create(4, 0, true);
    RCPtr<LIBuffer> shared(buffer);
    EXPECT_TRUE(TextMatchesThrow(ThrownText<Exception<std::runtime_error>>([&] { buffer->SetUnshareable(true); }),
                                 "Runtime Error : ZV::LRefCountedObject::SetUnshareable"));
    EXPECT_TRUE(buffer->IsShareable());
    shared = nullptr;
    EXPECT_NO_THROW(buffer->SetUnshareable(false));

    buffer->SetUnshareable(true);
    RCPtr<LIBuffer> copy(buffer);
    EXPECT_NE(copy.Get(), buffer.Get());
    EXPECT_TRUE(copy->IsShareable());
    EXPECT_EQ(copy->GetSize(), 4u);
    EXPECT_EQ(buffer->GetRefCount(), 1);
    buffer->SetUnshareable(false);
}

TEST(Unshareable, SecondPointerToAnObjectWithoutACopyOfItsOwnClassThrowsNamingItAndHoldsNothing)
{
    RCPtr<LCountedProbe> probe(new LCountedProbe);
    probe->SetUnshareable(true);
    using LogicError = Exception<std::logic_error>;
    EXPECT_TRUE(TextMatchesThrow(ThrownText<LogicError>([&] { ConstRCPtr<LCountedProbe> second(probe); }),
                                 "Logic Error : CreateCopy() not implemented for RefCountedObject : "
                                 "ZV::LRefCountedObject::CreateCopy"));
    EXPECT_EQ(probe->GetRefCount(), 1) << "the failed taker gave its reference back";
    probe->SetUnshareable(false);

    RCPtr<LForeignCopier> original(new LForeignCopier);
    original->SetUnshareable(true);
    EXPECT_TRUE(TextMatchesThrow(ThrownText<LogicError>([&] { ConstRCPtr<LForeignCopier> second(original); }),
                                 "Logic Error : class ZV::LForeignCopier : "
                                 "ZV::ConstRCPtr<class ZV::LForeignCopier>::Unshare"));
    EXPECT_EQ(original->GetRefCount(), 1);
    original->SetUnshareable(false);
    EXPECT_TRUE(TextMatchesThrow(ThrownText<LogicError>([&] { probe->Undo(); }),
                                 "Logic Error : Undo() not implemented for RefCountedObject : "
                                 "ZV::LRefCountedObject::Undo"));
}

TEST(CountedPointer, SelfAssignmentNullToNullAndAnObjectReachableOnlyThroughTheOldOneAreSafe)
{
    RCPtr<LCountedProbe> probe(new LCountedProbe);
    RCPtr<LCountedProbe>& alias = probe;
    probe = alias;
    probe = probe.Get();
    EXPECT_EQ(probe->GetRefCount(), 1);
    RCPtr<LCountedProbe> empty;
    RCPtr<LCountedProbe> otherEmpty;
    empty = otherEmpty;
    EXPECT_TRUE(empty.IsNull());
    ConstRCPtr<LOtherProbe> wrong{ConstRCPtr<LRefCountedObject>(probe)};
    EXPECT_TRUE(wrong.IsNull()) << "a conversion to another class gives null";
    RCPtr<LCountedProbe> moved(probe);
    const ConstRCPtr<LRefCountedObject> base(std::move(moved));
    EXPECT_TRUE(moved.IsNull());
    EXPECT_EQ(probe->GetRefCount(), 2) << "an upcast that moves takes the reference over";
    const ConstRCPtr<LCountedProbe> back(base);
    EXPECT_EQ(back.Get(), probe.Get()) << "a conversion to the object's own class";

    // Assigning an object reachable only through the old one.
    RCPtr<LTaggableObject> holder(new LTaggableObject);
    holder->SetTag(RCPtr<LTaggableObject>(new LTaggableObject));
    RCPtr<LTaggableObject> inner(
        dynamic_cast<LTaggableObject*>(const_cast<LRefCountedObject*>(holder->GetTag().Get())));
    LTaggableObject* innerObject = inner.Get();
    inner = nullptr;
    holder = innerObject;
    EXPECT_EQ(holder->GetRefCount(), 1);
}

}  // namespace
}  // namespace ZV
