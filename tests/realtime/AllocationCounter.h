#pragma once

#include <cstddef>

namespace tw::test
{
/** Counts heap allocations made on the calling thread while an instance is alive. */
class ScopedAllocationCounter
{
public:
    ScopedAllocationCounter() noexcept;
    ~ScopedAllocationCounter() noexcept;

    [[nodiscard]] std::size_t count() const noexcept;

private:
    std::size_t startCount;
};

} // namespace tw::test
