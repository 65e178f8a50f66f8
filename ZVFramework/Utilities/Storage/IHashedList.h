#pragma once

namespace ZV {

// A hash index of values by key, reached through this interface by its users (the caches).
template <class T, class Key>
class IHashedList {
public:
    virtual int GetCount() const = 0;
    virtual void RemoveAll() = 0;
    // Inserts the value under its key, or replaces the value already held under it: true when inserted.
    virtual bool Add(const T& value) = 0;
    // The value held under the key, or the not-found value itself when there is none.
    virtual T& GetEntry(const Key& key, T& notFound) = 0;
    virtual bool Remove(const Key& key) = 0;
    virtual ~IHashedList() = default;
};

}  // namespace ZV
