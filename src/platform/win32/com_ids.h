#pragma once

#include <windows.h>

namespace tw {

// Interface identifiers spelled out here: some import libraries define them as import
// thunks instead of data, which hands the system a garbage identifier.
inline constexpr IID IidAccessible = {
    0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
inline constexpr IID IidEnumVariant = {
    0x00020404, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// Releases a COM interface when it goes out of scope.
template <class T> class TComPtr {
  public:
    TComPtr() = default;
    explicit TComPtr(T* held) : held_(held) {} // takes over one reference
    ~TComPtr() { Reset(); }
    TComPtr(const TComPtr& other) : held_(other.held_) {
        if (held_) {
            held_->AddRef();
        }
    }
    TComPtr& operator=(const TComPtr& other) {
        if (this != &other) {
            if (other.held_) {
                other.held_->AddRef();
            }
            Reset();
            held_ = other.held_;
        }
        return *this;
    }

    T* Get() const { return held_; }
    T* operator->() const { return held_; }
    explicit operator bool() const { return held_ != nullptr; }
    // For calls that hand out a new reference.
    T** Out() {
        Reset();
        return &held_;
    }
    void Reset() {
        if (held_) {
            held_->Release();
            held_ = nullptr;
        }
    }

  private:
    T* held_ = nullptr;
};

} // namespace tw
