#pragma once

#include <utility>

// Owns one resource of the system and gives it back when it goes out of
// scope. Move-only, so that no two owners ever give back the same resource.
// Traits gives the Type, the Empty() value, which values are Valid() (the
// system uses several values for "none") and how to Free() one.
template <typename Traits>
class UniqueResource {
  public:
    using Type = typename Traits::Type;

    UniqueResource() = default;
    explicit UniqueResource(Type value) : value_(value) {}
    UniqueResource(UniqueResource&& other) noexcept : value_(other.Release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    ~UniqueResource() { Reset(); }

    Type Get() const { return value_; }
    bool Valid() const { return Traits::Valid(value_); }
    Type Release() { return std::exchange(value_, Traits::Empty()); }
    void Reset(Type value = Traits::Empty())
    {
        if (Traits::Valid(value_))
            Traits::Free(value_);
        value_ = value;
    }

  private:
    Type value_ = Traits::Empty();
};
