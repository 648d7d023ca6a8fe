// Heap accounting for benchmarks: malloc and friends are interposed over glibc's own entry points.
#include "support/memcount.h"

#include <malloc.h>

#include <atomic>
#include <cerrno>
#include <cstddef>

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* p, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* p);
}

namespace {

std::atomic<int64_t> gInUse{0};
std::atomic<int64_t> gPeak{0};

void Track(int64_t delta)
{
    int64_t now = gInUse.fetch_add(delta, std::memory_order_relaxed) + delta;
    int64_t peak = gPeak.load(std::memory_order_relaxed);
    while (now > peak && !gPeak.compare_exchange_weak(peak, now, std::memory_order_relaxed)) {
    }
}

int64_t Usable(void* p)
{
    return p ? static_cast<int64_t>(malloc_usable_size(p)) : 0;
}

}  // namespace

int64_t CMemCount::InUse()
{
    return gInUse.load();
}

int64_t CMemCount::Peak()
{
    return gPeak.load();
}

void CMemCount::ResetPeak()
{
    gPeak.store(gInUse.load());
}

extern "C" {

void* malloc(size_t size)
{
    void* p = __libc_malloc(size);
    Track(Usable(p));
    return p;
}

void* calloc(size_t count, size_t size)
{
    void* p = __libc_calloc(count, size);
    Track(Usable(p));
    return p;
}

void* realloc(void* old, size_t size)
{
    int64_t before = Usable(old);
    void* p = __libc_realloc(old, size);
    if (p)
        Track(Usable(p) - before);
    else if (old && size == 0)
        Track(-before);
    return p;
}

void free(void* p)
{
    Track(-Usable(p));
    __libc_free(p);
}

void* memalign(size_t alignment, size_t size)
{
    void* p = __libc_memalign(alignment, size);
    Track(Usable(p));
    return p;
}

void* aligned_alloc(size_t alignment, size_t size)
{
    return memalign(alignment, size);
}

int posix_memalign(void** out, size_t alignment, size_t size)
{
    if (alignment % sizeof(void*) != 0 || (alignment & (alignment - 1)) != 0)
        return EINVAL;
    void* p = memalign(alignment, size);
    if (!p && size)
        return ENOMEM;
    *out = p;
    return 0;
}

}  // extern "C"
