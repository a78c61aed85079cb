#pragma once

#include <unistd.h>

#include "unique_resource.h"

struct FileDescriptorTraits {
    using Type = int;
    static Type Empty() { return -1; }
    static bool Valid(Type fd) { return fd >= 0; }
    static void Free(Type fd) { close(fd); }
};
using UniqueFd = UniqueResource<FileDescriptorTraits>;
