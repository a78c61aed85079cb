#pragma once

#include <windows.h>

#include <objbase.h>

#include "unique_resource.h"

// Owners for COM, of the same family as the kernel's UniqueHandle.

// This thread's membership of a single-threaded apartment. Valid only when
// joining succeeded: a thread already in another kind of apartment stays
// there and has nothing to leave.
struct ComApartmentTraits {
    using Type = bool;
    static Type Empty() { return false; }
    static bool Valid(Type joined) { return joined; }
    static void Free(Type) { CoUninitialize(); }
};
using UniqueComApartment = UniqueResource<ComApartmentTraits>;

inline UniqueComApartment JoinComApartment()
{
    return UniqueComApartment(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
}

// One reference to a COM object.
template <typename Interface>
struct ComTraits {
    using Type = Interface*;
    static Type Empty() { return nullptr; }
    static bool Valid(Type object) { return object != nullptr; }
    static void Free(Type object) { object->Release(); }
};
template <typename Interface>
using UniqueCom = UniqueResource<ComTraits<Interface>>;

// A new object of a class, or an empty owner when the system has none.
template <typename Interface>
UniqueCom<Interface> CreateComObject(REFCLSID objectClass, REFIID interfaceId)
{
    void* created = nullptr;
    if (FAILED(CoCreateInstance(objectClass, nullptr, CLSCTX_INPROC_SERVER, interfaceId, &created)))
        return {};
    return UniqueCom<Interface>(static_cast<Interface*>(created));
}
