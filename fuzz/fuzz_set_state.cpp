// setState must take any byte string: refuse what it cannot use, never crash, never emit NaN.
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    auto& p = tw::fuzz::processor();
    p.setState (data, static_cast<int> (juce::jmin (size, static_cast<size_t> (std::numeric_limits<int>::max()))));
    tw::fuzz::renderAndCheck (p);
    return 0;
}
