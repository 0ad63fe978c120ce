#pragma once
// The life of a hidden object that every user of a class shares within the
// process (the tray icons' window, the simple timers' window): the first
// user creates it, every user counts, the last one to go destroys it, and
// one that is still there when the process ends is destroyed then.
//
// T derives from TSharedWindow<T> and befriends it, so that only the
// acquire and release below make and destroy it.

#include <utility>

template <class T> class TSharedWindow {
public:
    // The one object of the process; null while it has no user.
    static T* Instance() { return FInstance; }
    unsigned Users() const { return FUsers; }

protected:
    TSharedWindow() = default;
    ~TSharedWindow() = default;
    TSharedWindow(const TSharedWindow&) = delete;
    TSharedWindow& operator=(const TSharedWindow&) = delete;

    // Creates the object on first use and counts a user.
    static void Acquire() {
        if (!FInstance) {
            FInstance = new T();
            // Made after the first object, so it runs before the statics
            // that the object's construction brought to life are gone.
            static const TFinalizer finalizer;
        }
        ++FInstance->FUsers;
    }
    // Removes a user, never below zero; at zero the object goes.
    static void Release() {
        if (!FInstance) return;
        if (FInstance->FUsers > 0) --FInstance->FUsers;
        if (FInstance->FUsers == 0) Destroy();
    }

private:
    struct TFinalizer {
        ~TFinalizer() { Destroy(); }
    };
    static void Destroy() { delete std::exchange(FInstance, nullptr); }

    inline static T* FInstance = nullptr;
    unsigned FUsers = 0;
};
