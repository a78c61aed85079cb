#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include <windows.h>

#include "unique_resource.h"

// Windows uses both NULL and INVALID_HANDLE_VALUE for "no handle",
// depending on the call; both are treated as empty.
struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Empty() { return nullptr; }
    static bool Valid(Type handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    static void Free(Type handle) { CloseHandle(handle); }
};
using UniqueHandle = UniqueResource<KernelHandleTraits>;

// A search of FindFirstFileW, which says "none" only one way.
struct FindTraits {
    using Type = HANDLE;
    static Type Empty() { return INVALID_HANDLE_VALUE; }
    static bool Valid(Type search) { return search != INVALID_HANDLE_VALUE; }
    static void Free(Type search) { FindClose(search); }
};
using UniqueFind = UniqueResource<FindTraits>;

// Memory the system allocated for the caller with LocalAlloc.
struct LocalMemoryTraits {
    using Type = HLOCAL;
    static Type Empty() { return nullptr; }
    static bool Valid(Type memory) { return memory != nullptr; }
    static void Free(Type memory) { LocalFree(memory); }
};
using UniqueLocalMemory = UniqueResource<LocalMemoryTraits>;

struct EnvironmentStringsTraits {
    using Type = wchar_t*;
    static Type Empty() { return nullptr; }
    static bool Valid(Type block) { return block != nullptr; }
    static void Free(Type block) { FreeEnvironmentStringsW(block); }
};
using UniqueEnvironmentStrings = UniqueResource<EnvironmentStringsTraits>;

// Appends to into the bytes of an open file from offset on, at most most of
// them. False, with the thread's last error set, when the file cannot be read.
bool ReadFileBytes(HANDLE file, std::uint64_t offset, std::size_t most, std::string& into);
