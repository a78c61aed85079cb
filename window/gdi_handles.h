#pragma once

#include <utility>

#include <windows.h>

// Owns one GDI object or icon; Free is the call that releases it.
template <typename Handle, BOOL(WINAPI* Free)(Handle)>
class UniqueGdi {
  public:
    UniqueGdi() = default;
    explicit UniqueGdi(Handle handle) : handle_(handle) {}
    UniqueGdi(UniqueGdi&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    UniqueGdi& operator=(UniqueGdi&& other) noexcept
    {
        if (this != &other)
            Reset(std::exchange(other.handle_, nullptr));
        return *this;
    }
    UniqueGdi(const UniqueGdi&) = delete;
    UniqueGdi& operator=(const UniqueGdi&) = delete;
    ~UniqueGdi() { Reset(); }

    Handle Get() const { return handle_; }
    void Reset(Handle handle = nullptr)
    {
        if (handle_)
            Free(handle_);
        handle_ = handle;
    }

  private:
    Handle handle_ = nullptr;
};

inline BOOL WINAPI DeleteFont(HFONT font)
{
    return DeleteObject(font);
}

using UniqueFont = UniqueGdi<HFONT, DeleteFont>;
using UniqueIcon = UniqueGdi<HICON, DestroyIcon>;
