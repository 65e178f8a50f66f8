#include "Utilities/Storage/HashedList.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <random>

namespace ZV {

class LHeldProbe : public virtual LRefCountedObject {
public:
    static inline int sLiving = 0;
    LHeldProbe() { ++sLiving; }
    ~LHeldProbe() override { --sLiving; }
};

namespace {

// A glyph record stored by copy and keyed by its id, hashed by the id's low eight bits.
struct CachedGlyph {
    zlong id = 0;
    int advance = 0;
    static zlong GetUniqueID(const CachedGlyph& glyph) { return glyph.id; }
};
using GlyphTable = HashedList<CachedGlyph, zlong, &CachedGlyph::GetUniqueID, 8, &GetBits<8, 0, zlong>>;

// Values keyed by addresses and handles: bits 4 to 11 pick the bucket.
struct Handle {
    std::intptr_t key = 0;
    int value = 0;
    static std::intptr_t GetKey(const Handle& handle) { return handle.key; }
};
using HandleList = HashedList<Handle, std::intptr_t, &Handle::GetKey, 8, &GetBits<8, 4, std::intptr_t>>;

TEST(HashedList, AddReplacesTheValueOfAKeyHeldAndAnAbsentKeyGivesTheNotFoundValueItself)
{
    GlyphTable table;
    EXPECT_TRUE(table.Add({5, 10}));
    EXPECT_FALSE(table.Add({5, 11}));
    IHashedList<CachedGlyph, zlong>& list = table;
    EXPECT_TRUE(list.Add({261, 20})) << "same bucket as 5";
    EXPECT_EQ(table.GetCount(), 2);
    CachedGlyph notFound{-1, -1};
    EXPECT_EQ(list.GetEntry(5, notFound).advance, 11);
    EXPECT_EQ(list.GetEntry(261, notFound).advance, 20);
    EXPECT_EQ(&table.GetEntry(2, notFound), &notFound);
    EXPECT_FALSE(table.Remove(2));
    EXPECT_TRUE(table.Remove(5));
    EXPECT_EQ(&table.GetEntry(5, notFound), &notFound);
    EXPECT_EQ(table.GetCount(), 1);
}

TEST(HashedList, KeysSharingABucketOrDifferingAboveBit31StayApart)
{
    const std::intptr_t high = std::intptr_t{1} << 32;
    HandleList list;
    EXPECT_TRUE(list.Add({0x10, 1}));
    EXPECT_TRUE(list.Add({0x1010, 2}));
    EXPECT_TRUE(list.Add({high | 0x10, 3}));
    EXPECT_TRUE(list.Add({-16, 4}));
    EXPECT_EQ(list.GetCount(), 4);
    Handle notFound{0, -1};
    EXPECT_EQ(list.GetEntry(0x10, notFound).value, 1);
    EXPECT_EQ(list.GetEntry(0x1010, notFound).value, 2);
    EXPECT_EQ(list.GetEntry(high | 0x10, notFound).value, 3);
    EXPECT_EQ(list.GetEntry(-16, notFound).value, 4);
    EXPECT_TRUE(list.Remove(high | 0x10));
    EXPECT_EQ(list.GetEntry(0x10, notFound).value, 1);
    EXPECT_EQ(list.GetEntry(high | 0x10, notFound).value, -1);
}

// A cache keeps the reference GetEntry gives while other keys come and go; buckets grow and shrink meanwhile.
TEST(HashedList, AReferenceToAValueStaysValidWhileItsBucketGrowsAndShrinks)
{
    HandleList list;
    ASSERT_TRUE(list.Add({0x10, 1}));
    Handle notFound{0, -1};
    Handle& held = list.GetEntry(0x10, notFound);
    for (std::intptr_t i = 1; i <= 100; ++i) {
        ASSERT_TRUE(list.Add({0x10 + i * 0x1000, 0}));
    }
    for (std::intptr_t i = 1; i <= 100; i += 2) {
        ASSERT_TRUE(list.Remove(0x10 + i * 0x1000));
    }
    EXPECT_EQ(held.value, 1);
    held.value = 7;
    EXPECT_EQ(list.GetEntry(0x10, notFound).value, 7);
    EXPECT_EQ(list.GetCount(), 51);
}

// A value that holds a counted object, as the object maps' values do.
struct HeldValue {
    std::intptr_t key = 0;
    RCPtr<LHeldProbe> object;
    static std::intptr_t GetKey(const HeldValue& value) { return value.key; }
};
using HeldList = HashedList<HeldValue, std::intptr_t, &HeldValue::GetKey, 8, &GetBits<8, 4, std::intptr_t>>;

TEST(HashedList, RemoveAllAndDestructionReleaseEveryValueWhicheverBucketsWereUsed)
{
    {
        HeldList list;
        HeldValue notFound;
        EXPECT_EQ(&list.GetEntry(0x30, notFound), &notFound) << "a list that never held a pair";
        EXPECT_FALSE(list.Remove(0x30));
        list.RemoveAll();
        for (int round = 0; round < 2; ++round) {
            for (std::intptr_t i = 0; i < 40; ++i) {
                ASSERT_TRUE(list.Add({i * 0x110, RCPtr<LHeldProbe>(new LHeldProbe)}));
            }
            EXPECT_EQ(LHeldProbe::sLiving, 40);
            if (round == 0) {
                list.RemoveAll();
                EXPECT_EQ(LHeldProbe::sLiving, 0);
                EXPECT_EQ(list.GetCount(), 0);
                EXPECT_EQ(&list.GetEntry(0x110, notFound), &notFound);
            }
        }
    }
    EXPECT_EQ(LHeldProbe::sLiving, 0) << "destroying the list releases every pair and its value";
}

// Random adds, replacements and removals over keys crowded into a few buckets, checked against a plain map.
TEST(HashedList, RandomOperationsAgreeWithAPlainMap)
{
    HandleList list;
    std::map<std::intptr_t, int> model;
    std::mt19937 random(7);
    Handle notFound{0, -1};
    for (int step = 0; step < 20000; ++step) {
        // 64 keys in 4 buckets: bits 4 and 5 pick the bucket, the bits above tell the keys of a bucket apart.
        const auto key = static_cast<std::intptr_t>((random() % 4) << 4 | (random() % 16) << 12);
        const int value = static_cast<int>(random() % 1000);
        switch (random() % 8) {
        case 0:
        case 1:
        case 2:
            ASSERT_EQ(list.Add({key, value}), model.count(key) == 0) << "step " << step;
            model[key] = value;
            break;
        case 3:
        case 4:
            ASSERT_EQ(list.Remove(key), model.erase(key) == 1) << "step " << step;
            break;
        case 5:
            if (random() % 100 == 0) {
                list.RemoveAll();
                model.clear();
            }
            break;
        default: {
            const auto found = model.find(key);
            ASSERT_EQ(list.GetEntry(key, notFound).value, found == model.end() ? -1 : found->second) << "step " << step;
            break;
        }
        }
        ASSERT_EQ(list.GetCount(), static_cast<int>(model.size())) << "step " << step;
    }
}

}  // namespace
}  // namespace ZV
