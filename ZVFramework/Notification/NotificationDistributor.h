#pragma once

#include "Notification/Notification.h"
#include "Threading/Mutex.h"
#include "Utilities/Storage/RCPtrArray.h"

#include <atomic>
#include <cstdint>

namespace ZV {

class LNotificationClient;

// Registration flag: of the notifications of the id that a queue holds, the client receives only the one posted
// last, and none that is sent to the distributor directly.
inline constexpr std::uint32_t kNotifyLatestOnly = 1;

// The sending side of notifications: for each id, the clients registered for it. A notification sent here is handed
// at once, on the sender's thread, to every client registered for its id, the most recently registered first.
//
// Registrations count as internal references on both sides: the distributor keeps itself alive for the plain
// pointer that the client keeps to it, and the client counts the reference that its entry here holds. So a
// distributor and its clients are freed once their owners let them go, without unsubscribing.
//
// One lock per distributor, shared with its client pools, guards the pools and their entries. It is never held
// while a client is called: clients may register, unregister and send from inside a delivery, and a queue may
// post from another thread while the user-interface thread delivers.
class LNotificationDistributor : public virtual LRefCountedObject {
public:
    class LNotificationRegisteredClientInfo;
    class LNotificationClientPool;

    LNotificationDistributor();
    LNotificationDistributor(const LNotificationDistributor&) = delete;
    LNotificationDistributor& operator=(const LNotificationDistributor&) = delete;
    ~LNotificationDistributor() override;

    // 0 for a new registration; 1 when the client was registered already (its flags are then replaced) and for a
    // null or empty id; 0x80070057 for a null client. Clients register through their own operations, which keep
    // their half of the bookkeeping.
    [[nodiscard]] ZVRESULT RegisterClient(const ConstRCPtr<LNotificationClient>& client, const wchar_t* id,
                                          std::uint32_t flags);
    // 0 removed, 1 not registered; 0x80070057 for a null client or a null or empty id.
    [[nodiscard]] ZVRESULT UnregisterClient(const ConstRCPtr<LNotificationClient>& client, const wchar_t* id);
    // The number of registrations removed; 0x80070057 for a null client.
    std::int32_t UnregisterClientFromAll(const ConstRCPtr<LNotificationClient>& client);
    // Asks every registered client to unregister itself; always 0.
    [[nodiscard]] ZVRESULT UnregisterAllClients();

    // Delivers to the clients of the notification's id: 0 (also when every client skipped it), 1 when nobody is
    // registered for the id, 0x80070057 for a null notification. An exception from a client ends the delivery.
    [[nodiscard]] ZVRESULT SendNotification(const RCPtr<LNotification>& notification) const;

    // The pool of the canonical id, or null.
    RCPtr<LNotificationClientPool> FindClientPool(const wchar_t* canonicalId) const;
    // 0 with the flags of the client's registration for the id; 0x80004005 when there is none.
    [[nodiscard]] ZVRESULT GetClientFlags(const ConstRCPtr<LNotificationClient>& client, const wchar_t* id,
                            std::uint32_t& flags) const;
    bool HasClient(const ConstRCPtr<LNotificationClient>& client) const;
    // True once a client has registered latest-only here (and from then on): until then, a queue's post has no
    // latest-only bookkeeping to do.
    bool HasLatestOnlyRegistrations() const;
    // How many registrations (client, id) the distributor holds.
    std::uint32_t GetRegistrationCount() const;

private:
    friend class LNotificationQueue;
    class LLock;
    class LockHold;

    // SendNotification with the sender that the clients see given by the caller, who keeps it for the delivery.
    [[nodiscard]] ZVRESULT SendNotificationAs(const ConstRCPtr<LNotificationDistributor>& self,
                                              const RCPtr<LNotification>& notification) const;
    // heldSelf: null, or a counted pointer to this distributor that the caller keeps for the delivery.
    [[nodiscard]] ZVRESULT Deliver(const ConstRCPtr<LNotificationDistributor>* heldSelf,
                                   const RCPtr<LNotification>& notification) const;
    RCPtr<LNotificationClientPool> FindPoolLocked(const wchar_t* canonicalId) const;
    // The same without a reference: pools stay as long as their distributor.
    LNotificationClientPool* FindPoolPointerLocked(const wchar_t* canonicalId) const;
    std::uint32_t GetPoolCount() const;
    RCPtr<LNotificationClientPool> GetPoolAt(std::uint32_t index) const;
    // Removes the client's entry from the pool with the registration's references; false when it had none.
    bool RemoveRegistration(LNotificationClientPool& pool, const ConstRCPtr<LNotificationClient>& client);
    void EnterActiveListLocked();
    RCPtr<LNotificationDistributor> LeaveActiveListLocked();

    RCPtr<LLock> mLock;
    RCPtrArray<LNotificationClientPool, 1, 0> mPools;
    std::uint32_t mRegistrationCount = 0;
};

// The lock of one distributor. Its pools share it, since a holder may keep a pool beyond the distributor's life.
class LNotificationDistributor::LLock : public LRefCountedObject {
public:
    Mutex mutex;
    // Set under the lock by a latest-only registration, read without it by threads that post to a queue: kept apart
    // from the lock, which the delivering thread takes all the time.
    alignas(kCacheLineSize) std::atomic<bool> latestOnlyRegistered{false};
};

// A hold of a distributor's lock that its holder can let go early and take again; let go at the end of the scope
// when held.
class LNotificationDistributor::LockHold {
public:
    explicit LockHold(Mutex& mutex) : mMutex(mutex) { mMutex.Enter(); }
    LockHold(const LockHold&) = delete;
    LockHold& operator=(const LockHold&) = delete;
    ~LockHold()
    {
        if (mHeld) {
            mMutex.Leave();
        }
    }

    void Leave()
    {
        mHeld = false;
        mMutex.Leave();
    }
    void Enter()
    {
        mMutex.Enter();
        mHeld = true;
    }

private:
    Mutex& mMutex;
    bool mHeld = true;
};

// One registration: the client, its flags, and for a latest-only client the notification of the id that a queue
// posted last for it.
class LNotificationDistributor::LNotificationRegisteredClientInfo : public LRefCountedObject {
public:
    LNotificationRegisteredClientInfo(const ConstRCPtr<LNotificationClient>& client, std::uint32_t flags);
    ~LNotificationRegisteredClientInfo() override;

private:
    friend class LNotificationClientPool;

    RCPtr<LNotificationClient> mClient;
    RCPtr<LNotification> mLatest;
    std::uint32_t mFlags;
};

// The clients of one id, in order of registration. Deliveries walk it from the last entry to the first; each
// delivery keeps its own place, which removals move, so that clients may leave and join during a delivery (also a
// nested delivery of the same id) and every client registered when it began and not removed since is served once.
class LNotificationDistributor::LNotificationClientPool : public LRefCountedObject {
public:
    LNotificationClientPool(const wchar_t* canonicalId, const RCPtr<LLock>& lock);
    ~LNotificationClientPool() override;

    const wchar_t* GetId() const { return mId; }
    // The OR of the flags of the clients registered so far; removals leave it unchanged.
    std::uint32_t GetCombinedFlags() const;
    std::uint32_t GetClientCount() const;

    // Appends the client, or sets the flags of its entry; 0, or 0x80070057 for a null client.
    [[nodiscard]] ZVRESULT AddClient(const ConstRCPtr<LNotificationClient>& client, std::uint32_t flags);
    // 0 removed, 1 not in the pool. The client's registration bookkeeping is the distributor's.
    [[nodiscard]] ZVRESULT RemoveClient(const ConstRCPtr<LNotificationClient>& client);
    // Searched from the last entry; -1 when absent.
    std::int32_t IndexOfClient(const ConstRCPtr<LNotificationClient>& client) const;

    // Hands the notification to every client of the pool; 1 when it has none, else 0.
    [[nodiscard]] ZVRESULT SendNotification(const LNotificationDistributor* sender,
                                            const RCPtr<LNotification>& notification);
    // Hands the notification to the one client at the index (the latest-only rule holds); returns the index that
    // the delivery stands at afterwards (moved by removals during the call), or the given index when the client
    // skipped it or there is no such entry.
    std::int32_t SendToClient(const LNotificationDistributor* sender, std::int32_t index,
                              const RCPtr<LNotification>& notification);

    // A queue's post: every latest-only client of the pool now waits for this notification only.
    void StoreLatest(const RCPtr<LNotification>& notification);

private:
    friend class LNotificationDistributor;
    struct DeliveryCursor;
    class ActiveDelivery;

    // SendNotification entered with the lock held by hold, which it lets go before it calls a client. heldSender:
    // null, or a counted pointer to the sender that the caller keeps for the delivery.
    [[nodiscard]] ZVRESULT DeliverLocked(LockHold& hold, const LNotificationDistributor* sender,
                                         const ConstRCPtr<LNotificationDistributor>* heldSender,
                                         const RCPtr<LNotification>& notification);

    std::int32_t IndexOfClientLocked(const LNotificationClient* client) const;
    // 0 with the flags of the client's entry; 0x80004005 when it has none.
    [[nodiscard]] ZVRESULT GetFlagsLocked(const LNotificationClient* client, std::uint32_t& flags) const;
    [[nodiscard]] ZVRESULT TakeClient(const ConstRCPtr<LNotificationClient>& client,
                                      RCPtr<LNotificationRegisteredClientInfo>& entry);
    RCPtr<LNotificationClient> GetClientAt(std::uint32_t index) const;
    // The client at the index when it is to receive the notification, else null; a latest-only client's latest
    // notification moves to `delivered`, to be released after the lock.
    RCPtr<LNotificationClient> RecipientAtLocked(std::int32_t index, const RCPtr<LNotification>& notification,
                                                 RCPtr<LNotification>& delivered);

    // Read without the lock by a queue's post, which needs it only when a latest-only client is registered.
    std::atomic<std::uint32_t> mCombinedFlags{0};
    const wchar_t* mId;
    RCPtrArray<LNotificationRegisteredClientInfo, 1, 0> mClients;
    RCPtr<LLock> mLock;
    DeliveryCursor* mDeliveries = nullptr;
};

// Every distributor that holds registrations, in the order in which each got its first; each held by one reference
// counted as internal. Guarded by the notification lock.
RCPtrArray<LNotificationDistributor, 1, 0>& GetNotificationDistributors();

}  // namespace ZV
