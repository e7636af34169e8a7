#include "AllocationCounter.h"

#include <cstddef>

namespace
{
// Plain thread-locals of the executable: static TLS, so touching them never allocates.
thread_local long threadAllocations = 0;
thread_local int countingDepth = 0;

void noteAllocation()
{
    if (countingDepth > 0)
        ++threadAllocations;
}
} // namespace

// Under AddressSanitizer its own allocator must serve every block, or it cannot see a read of
// freed memory: allocations are then counted through its hooks. Otherwise the executable's
// malloc family interposes on glibc's, which also serves operator new and the loaded plug-ins.
#if defined(__SANITIZE_ADDRESS__)
#define OXN3_COUNT_THROUGH_SANITIZER_HOOKS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define OXN3_COUNT_THROUGH_SANITIZER_HOOKS 1
#endif
#endif

#if defined(OXN3_COUNT_THROUGH_SANITIZER_HOOKS)
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, size_t),
                                                         void (*)(const volatile void*));
[[maybe_unused]] static const int hooksInstalled = __sanitizer_install_malloc_and_free_hooks(
    [](const volatile void*, size_t) { noteAllocation(); }, [](const volatile void*) {});
#else
extern "C" void* __libc_malloc(size_t size);
extern "C" void* __libc_calloc(size_t count, size_t size);
extern "C" void* __libc_realloc(void* pointer, size_t size);

extern "C" void* malloc(size_t size)
{
    noteAllocation();
    return __libc_malloc(size);
}

extern "C" void* calloc(size_t count, size_t size)
{
    noteAllocation();
    return __libc_calloc(count, size);
}

extern "C" void* realloc(void* pointer, size_t size)
{
    noteAllocation();
    return __libc_realloc(pointer, size);
}
#endif

namespace oxn3test
{
CountingScope::CountingScope() : start(threadAllocations)
{
    ++countingDepth;
}

CountingScope::~CountingScope()
{
    --countingDepth;
}

long CountingScope::count() const
{
    return threadAllocations - start;
}
} // namespace oxn3test
