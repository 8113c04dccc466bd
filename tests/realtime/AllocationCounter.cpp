// Replaces the global allocation functions of this test binary with counting versions.
#include "AllocationCounter.h"

#include <cstdlib>
#include <new>

namespace
{
thread_local int countingDepth = 0;
thread_local std::size_t allocations = 0;

void* countedAlloc (std::size_t size)
{
    if (countingDepth > 0)
        ++allocations;
    if (void* p = std::malloc (size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}

void* countedAlignedAlloc (std::size_t size, std::align_val_t alignment)
{
    if (countingDepth > 0)
        ++allocations;
    const auto align = static_cast<std::size_t> (alignment);
    const auto rounded = ((size == 0 ? 1 : size) + align - 1) / align * align;
    if (void* p = std::aligned_alloc (align, rounded))
        return p;
    throw std::bad_alloc();
}
} // namespace

void* operator new (std::size_t size)
{
    return countedAlloc (size);
}
void* operator new[] (std::size_t size)
{
    return countedAlloc (size);
}
void* operator new (std::size_t size, const std::nothrow_t&) noexcept
{
    try
    {
        return countedAlloc (size);
    }
    catch (...)
    {
        return nullptr;
    }
}
void* operator new[] (std::size_t size, const std::nothrow_t& tag) noexcept
{
    return operator new (size, tag);
}
void* operator new (std::size_t size, std::align_val_t alignment)
{
    return countedAlignedAlloc (size, alignment);
}
void* operator new[] (std::size_t size, std::align_val_t alignment)
{
    return countedAlignedAlloc (size, alignment);
}

void operator delete (void* p) noexcept
{
    std::free (p);
}
void operator delete[] (void* p) noexcept
{
    std::free (p);
}
// <new> declares the sized forms only where the compiler enables sized deallocation (clang 14
// does not), yet libraries built by another compiler still call them.
#if !__cpp_sized_deallocation
void operator delete (void* p, std::size_t) noexcept;
void operator delete[] (void* p, std::size_t) noexcept;
void operator delete (void* p, std::size_t, std::align_val_t) noexcept;
void operator delete[] (void* p, std::size_t, std::align_val_t) noexcept;
#endif

void operator delete (void* p, std::size_t) noexcept
{
    std::free (p);
}
void operator delete[] (void* p, std::size_t) noexcept
{
    std::free (p);
}
void operator delete (void* p, std::align_val_t) noexcept
{
    std::free (p);
}
void operator delete[] (void* p, std::align_val_t) noexcept
{
    std::free (p);
}
void operator delete (void* p, std::size_t, std::align_val_t) noexcept
{
    std::free (p);
}
void operator delete[] (void* p, std::size_t, std::align_val_t) noexcept
{
    std::free (p);
}

namespace tw::test
{
ScopedAllocationCounter::ScopedAllocationCounter() noexcept
    : startCount (allocations)
{
    ++countingDepth;
}

ScopedAllocationCounter::~ScopedAllocationCounter() noexcept
{
    --countingDepth;
}

std::size_t ScopedAllocationCounter::count() const noexcept
{
    return allocations - startCount;
}

} // namespace tw::test
