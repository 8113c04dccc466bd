#pragma once

namespace qmrk_dsp
{
/** Bounds for values that circulate in feedback loops and filter states. */
template <typename SampleType>
struct SampleGuards
{
    /** Below this magnitude a circulating value is dropped before it can decay into denormals. */
    static constexpr SampleType silenceFloor = static_cast<SampleType> (1.0e-15);

    /** Above this magnitude a circulating value can only come from a runaway loop; it is cleared. */
    static constexpr SampleType runawayLimit = static_cast<SampleType> (1.0e15);

    /** The value itself when finite, else 0: lets a stage ignore a corrupt input sample. */
    [[nodiscard]] static SampleType finiteOrZero (SampleType x) noexcept
    {
        return std::isfinite (x) ? x : SampleType();
    }

    /** The value a feedback memory may keep: 0 for NaN, infinities, runaway and near-denormal values. */
    [[nodiscard]] static SampleType forFeedback (SampleType x) noexcept
    {
        const auto magnitude = std::abs (x);
        return (magnitude > silenceFloor && magnitude < runawayLimit) ? x : SampleType();
    }
};

} // namespace qmrk_dsp
