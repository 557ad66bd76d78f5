#pragma once
// The mutex that guards the engine. Debug builds remember the thread that holds it, so that the engine can
// assert, where its state is read or written, that the caller holds the lock; release builds keep no owner
// and every such assert is compiled out.
#include <atomic>
#include <mutex>
#include <thread>

class EngineMutex {
public:
    void lock() {
        mutex_.lock();
        SetOwner(std::this_thread::get_id());
    }
    bool try_lock() {
        if (!mutex_.try_lock()) return false;
        SetOwner(std::this_thread::get_id());
        return true;
    }
    void unlock() {
        SetOwner(std::thread::id());
        mutex_.unlock();
    }
#ifdef NDEBUG
    bool HeldByThisThread() const { return true; }

private:
    void SetOwner(std::thread::id) {}
#else
    bool HeldByThisThread() const { return owner_.load() == std::this_thread::get_id(); }

private:
    void SetOwner(std::thread::id id) { owner_.store(id); }
    std::atomic<std::thread::id> owner_{};
#endif
    std::mutex mutex_;
};
