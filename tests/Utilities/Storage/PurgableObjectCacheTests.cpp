#include "Utilities/Storage/PurgableObjectCache.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <random>
#include <stdexcept>
#include <vector>

namespace ZV {

// A cached object that logs its release by serial number.
class LCachedThing : public virtual LRefCountedObject {
public:
    static inline std::vector<int> sReleased;
    explicit LCachedThing(int serial) : mSerial(serial) {}
    ~LCachedThing() override { sReleased.push_back(mSerial); }
    int GetSerial() const { return mSerial; }

private:
    int mSerial;
};

namespace {

std::intptr_t KeyIdOf(const int& key)
{
    return key;
}

using Cache = PurgableObjectCache<LCachedThing, int, std::intptr_t, &KeyIdOf, 8, &GetBits<8, 4, std::intptr_t>>;

// What the eviction rules say, kept apart from the cache: which entry a key lands in and which object each lookup
// and purge releases.
class EvictionModel {
public:
    explicit EvictionModel(int capacity) : mEntries(static_cast<std::size_t>(capacity)) {}

    // The object the entry of the key holds after the lookup (-1 when the caller must build it).
    int Get(int key, bool discard)
    {
        int position = -1;
        if (auto found = mIndex.find(key); found != mIndex.end()) {
            position = found->second;
            if (discard) {
                Reset(position);
            }
        } else {
            position = mUsedEntries < static_cast<int>(mEntries.size()) ? mUsedEntries++ : Victim();
            Entry& entry = mEntries[position];
            if (entry.assigned && mIndex.count(entry.key) != 0 && mIndex[entry.key] == position) {
                mIndex.erase(entry.key);
            }
            Reset(position);
            entry.assigned = true;
            entry.key = key;
            mIndex[key] = position;
        }
        Entry& entry = mEntries[position];
        entry.uses = entry.uses == UINT32_MAX ? entry.uses : entry.uses + 1;
        entry.lastUse = ++mClock;
        mLastPosition = position;
        return entry.object;
    }

    void Store(int serial) { mEntries[mLastPosition].object = serial; }

    int Purge(std::uint32_t tick)
    {
        int purged = 0;
        for (std::size_t position = 0; position < mEntries.size(); ++position) {
            if (static_cast<std::int32_t>(mEntries[position].lastUse - tick) < 0) {
                Reset(static_cast<int>(position));
                ++purged;
            }
        }
        return purged;
    }

    std::uint32_t Clock() const { return mClock; }
    const std::vector<int>& Released() const { return mReleased; }

private:
    struct Entry {
        bool assigned = false;
        int key = 0;
        int object = -1;
        std::uint32_t lastUse = 0;
        std::uint32_t uses = 0;
    };

    // The first empty entry; else the greatest age, then the fewest uses, then the lowest position.
    int Victim() const
    {
        for (std::size_t position = 0; position < mEntries.size(); ++position) {
            if (mEntries[position].object < 0) {
                return static_cast<int>(position);
            }
        }
        std::vector<int> positions(mEntries.size());
        for (std::size_t i = 0; i < positions.size(); ++i) {
            positions[i] = static_cast<int>(i);
        }
        return *std::min_element(positions.begin(), positions.end(), [this](int a, int b) {
            const std::uint32_t ageA = mClock - mEntries[a].lastUse;
            const std::uint32_t ageB = mClock - mEntries[b].lastUse;
            if (ageA != ageB) {
                return ageA > ageB;
            }
            if (mEntries[a].uses != mEntries[b].uses) {
                return mEntries[a].uses < mEntries[b].uses;
            }
            return a < b;
        });
    }

    void Reset(int position)
    {
        Entry& entry = mEntries[position];
        if (entry.object >= 0) {
            mReleased.push_back(entry.object);
        }
        entry.object = -1;
        entry.lastUse = 0;
        entry.uses = 0;
    }

    std::vector<Entry> mEntries;
    std::map<int, int> mIndex;
    int mUsedEntries = 0;
    int mLastPosition = 0;
    std::uint32_t mClock = 0;
    std::vector<int> mReleased;
};

class PurgableObjectCacheTest : public ::testing::Test {
protected:
    void SetUp() override { LCachedThing::sReleased.clear(); }

    // Looks the key up and, on a null slot, builds the object as a renderer does.
    int Use(Cache& cache, int key, bool discard = false)
    {
        RCPtr<LCachedThing>& slot = cache.Get(key, discard);
        if (slot.IsNull()) {
            slot = new LCachedThing(mNextSerial++);
        }
        return slot->GetSerial();
    }

    int mNextSerial = 0;
};

TEST_F(PurgableObjectCacheTest, PurgeAndRemoveReleaseTheirEntriesAndACacheWithoutEntriesIsRefused)
{
    Cache cache(2);
    const int a = Use(cache, 1);
    const int b = Use(cache, 2);
    EXPECT_EQ(cache.Purge(2), 1) << "entries last used before the tick";
    EXPECT_EQ(LCachedThing::sReleased, std::vector<int>{a});
    EXPECT_EQ(cache.Purge(0x80000000u), 2) << "ticks compare by their signed distance; an emptied entry counts";
    EXPECT_EQ(cache.Purge(0), 0);

    const int c = Use(cache, 1);
    const int d = Use(cache, 2);
    EXPECT_TRUE(cache.Remove(1));
    EXPECT_FALSE(cache.Remove(1));
    EXPECT_EQ(LCachedThing::sReleased, (std::vector<int>{a, b, c}));
    Use(cache, 3);
    EXPECT_EQ(Use(cache, 2), d) << "the removed key's entry is the first to be taken again";
    EXPECT_EQ(LCachedThing::sReleased.size(), 3u);

    EXPECT_THROW(Cache(0), std::invalid_argument);
}

// A long random trace of lookups, lookups with discard and purges, on every capacity the renderers use or near it:
// each lookup must find what the model finds, and every object must be released when the model releases it.
TEST_F(PurgableObjectCacheTest, RandomTracesReleaseExactlyWhatTheModelReleases)
{
    for (const int capacity : {2, 16, 256}) {
        SCOPED_TRACE(capacity);
        LCachedThing::sReleased.clear();
        std::mt19937 random(static_cast<unsigned>(capacity) * 7919u);
        auto pick = [&](int bound) { return static_cast<int>(random() % static_cast<unsigned>(bound)); };
        const int keyRange = capacity + capacity / 2 + 2;
        EvictionModel model(capacity);
        {
            Cache cache(capacity);
            for (int step = 0; step < 20000; ++step) {
                if (pick(100) == 0) {
                    const auto tick = cache.GetClock() - static_cast<std::uint32_t>(pick(2 * capacity + 2));
                    ASSERT_EQ(cache.Purge(tick), model.Purge(tick)) << "step " << step;
                } else {
                    const int key = pick(keyRange);
                    const bool discard = pick(8) == 0;
                    RCPtr<LCachedThing>& slot = cache.Get(key, discard);
                    const int expected = model.Get(key, discard);
                    ASSERT_EQ(slot ? slot->GetSerial() : -1, expected) << "step " << step;
                    if (slot.IsNull() && pick(8) != 0) {
                        slot = new LCachedThing(mNextSerial);
                        model.Store(mNextSerial++);
                    }
                }
                ASSERT_EQ(cache.GetClock(), model.Clock());
                ASSERT_EQ(LCachedThing::sReleased, model.Released()) << "step " << step;
            }
        }
    }
}

}  // namespace
}  // namespace ZV
