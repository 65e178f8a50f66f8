#include "Utilities/Storage/RCPtrMap.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace ZV {

// A font stand-in whose instances tests can count.
class LFontKey : public virtual LRefCountedObject {
public:
    static inline int sLiving = 0;
    LFontKey() { ++sLiving; }
    ~LFontKey() override { --sLiving; }
};

class LFontFileProbe : public virtual LRefCountedObject {};

// A pair whose key object is known only by an address chosen by the test.
class LAddressedPair : public virtual LRefCountedObject {
public:
    explicit LAddressedPair(std::intptr_t address) : mAddress(address) {}
    std::intptr_t mAddress;
};

namespace {

using FontMap = RCPtrMap<LFontKey, LFontFileProbe, 8>;

const LRefCountedObject* AddressOf(const RCPtr<LAddressedPair>& pair)
{
    return reinterpret_cast<const LRefCountedObject*>(pair->mAddress);
}

TEST(RCPtrMap, AValueIsFoundByTheIdentityOfItsKeyObject)
{
    FontMap map;
    ConstRCPtr<LFontKey> font(new LFontKey);
    ConstRCPtr<LFontKey> sameContents(new LFontKey);
    RCPtr<LFontFileProbe> file(new LFontFileProbe);
    RCPtr<LFontFileProbe> otherFile(new LFontFileProbe);

    EXPECT_TRUE(map.GetValue(font).IsNull());
    EXPECT_TRUE(map.SetValue(font, file));
    EXPECT_EQ(map.GetValue(font), file);
    EXPECT_TRUE(map.GetValue(sameContents).IsNull());
    EXPECT_TRUE(map.SetValue(sameContents, otherFile));
    EXPECT_EQ(map.GetCount(), 2);

    EXPECT_FALSE(map.SetValue(font, otherFile));
    EXPECT_EQ(map.GetCount(), 2);
    EXPECT_EQ(map.GetValue(font), otherFile);
    EXPECT_EQ(file->GetRefCount(), 1);

    EXPECT_TRUE(map.RemovePair(font));
    EXPECT_FALSE(map.RemovePair(font));
    EXPECT_TRUE(map.GetValue(font).IsNull());
    EXPECT_EQ(map.GetValue(sameContents), otherFile);
}

TEST(RCPtrMap, AKeyObjectHeldOnlyByTheMapLivesUntilItsEntryGoes)
{
    FontMap map;
    RCPtr<LFontFileProbe> file(new LFontFileProbe);
    map.SetValue(ConstRCPtr<LFontKey>(new LFontKey), file);
    ConstRCPtr<LFontKey> second(new LFontKey);
    map.SetValue(second, file);
    second = nullptr;
    EXPECT_EQ(LFontKey::sLiving, 2);
    map.RemoveAll();
    EXPECT_EQ(LFontKey::sLiving, 0);
    EXPECT_EQ(map.GetCount(), 0);
    EXPECT_EQ(file->GetRefCount(), 1);
}

TEST(RCPtrMap, BucketsAreBitsFourToElevenOfTheFullAddress)
{
    const std::intptr_t high = std::intptr_t{1} << 40;
    RCPtrHalfMap<LAddressedPair, &AddressOf, 8> map;
    RCPtr<LAddressedPair> low(new LAddressedPair(0x1010));
    RCPtr<LAddressedPair> sameLowBits(new LAddressedPair(high | 0x1010));
    RCPtr<LAddressedPair> sameBucket(new LAddressedPair(0x2010));
    EXPECT_TRUE(map.Add(low));
    EXPECT_TRUE(map.Add(sameLowBits));
    EXPECT_TRUE(map.Add(sameBucket));
    EXPECT_EQ(map.GetCount(), 3);
    RCPtr<LAddressedPair> notFound;
    EXPECT_EQ(map.GetEntry(0x1010, notFound), low);
    EXPECT_EQ(map.GetEntry(high | 0x1010, notFound), sameLowBits);
    EXPECT_EQ(map.GetEntry(0x2010, notFound), sameBucket);
}

}  // namespace
}  // namespace ZV
