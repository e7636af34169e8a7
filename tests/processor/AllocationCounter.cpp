#include "AllocationCounter.h"

#include <cstdlib>
#include <new>

// Under AddressSanitizer its own allocator must serve every block, or it cannot see a read of
// freed memory: allocations are then counted through its hooks instead of by interposing.
#if defined(__SANITIZE_ADDRESS__)
#define OXN3_COUNT_THROUGH_SANITIZER_HOOKS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define OXN3_COUNT_THROUGH_SANITIZER_HOOKS 1
#endif
#endif

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

#if defined(OXN3_COUNT_THROUGH_SANITIZER_HOOKS)
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*onMalloc)(const volatile void*, size_t),
                                                         void (*onFree)(const volatile void*));

namespace
{
void onSanitizerMalloc(const volatile void*, size_t)
{
    noteAllocation();
}

void onSanitizerFree(const volatile void*)
{
}

[[maybe_unused]] const int hooksInstalled = __sanitizer_install_malloc_and_free_hooks(onSanitizerMalloc, onSanitizerFree);
} // namespace
#else
// glibc's own allocator entry points: the interposed functions below forward to them.
extern "C" void* __libc_malloc(size_t size);
extern "C" void* __libc_calloc(size_t count, size_t size);
extern "C" void* __libc_realloc(void* pointer, size_t size);
extern "C" void __libc_free(void* pointer);

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

extern "C" void free(void* pointer)
{
    __libc_free(pointer);
}

void* operator new(size_t size)
{
    noteAllocation();
    if (void* block = __libc_malloc(size == 0 ? 1 : size))
        return block;
    throw std::bad_alloc();
}

void* operator new[](size_t size)
{
    return operator new(size);
}

void operator delete(void* pointer) noexcept
{
    __libc_free(pointer);
}

void operator delete[](void* pointer) noexcept
{
    __libc_free(pointer);
}

void operator delete(void* pointer, size_t) noexcept
{
    __libc_free(pointer);
}

void operator delete[](void* pointer, size_t) noexcept
{
    __libc_free(pointer);
}

#endif

namespace oxn3test
{
long allocationsOnThisThread()
{
    return threadAllocations;
}

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
