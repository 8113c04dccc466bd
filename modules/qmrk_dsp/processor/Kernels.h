#pragma once

#if defined(__GNUC__) && !defined(__clang__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define QMRK_DSP_FMA_DISPATCH 1
#else
#define QMRK_DSP_FMA_DISPATCH 0
#endif

namespace qmrk_dsp::kernels
{
using simd::Vec4;

/** Runs body (index, lanes) over n entries four at a time; a last partial group is processed
    from a zero-padded copy, so that every entry sees exactly the same arithmetic.
*/
template <typename Body>
inline void inGroupsOfFour (size_t n, Body&& body) noexcept
{
    size_t i = 0;

    for (; i + 4 <= n; i += 4)
        body (i, size_t (4));

    if (i < n)
        body (i, n - i);
}

/** Loads four entries from i on (fewer at the end, the rest zero); a constant reads entry 0. */
inline Vec4 loadFrom (const float* values, bool constant, size_t i, size_t count) noexcept
{
    if (constant)
        return simd::splat (values[0]);

    if (count == 4)
        return simd::load (values + i);

    float padded[4] {};
    std::copy_n (values + i, count, padded);
    return simd::load (padded);
}

inline void storeTo (float* out, size_t i, size_t count, Vec4 v) noexcept
{
    if (count == 4)
    {
        simd::store (out + i, v);
        return;
    }

    float padded[4];
    simd::store (padded, v);
    std::copy_n (padded, count, out + i);
}

/** The oscillator's sine: (sin(2π·wrap(position + offset)) + 1) / 2. */
inline void sineShape (float* out, const float* positions, const float* offsets, bool constantOffset, size_t n) noexcept
{
    const auto one = simd::splat (1.0f), zero = simd::splat (0.0f);

    inGroupsOfFour (n,
                    [&] (size_t i, size_t count)
                    {
                        auto x = loadFrom (positions, false, i, count) + loadFrom (offsets, constantOffset, i, count);

                        // Both terms lie in 0..1; anything else folds like the scalar path, and a
                        // value it cannot fold (NaN, out of the int range) becomes 0.
                        x = x - simd::toFloat (simd::truncate (x));
                        x = simd::select ((x >= zero) && (x < one), x, zero);

                        simd::Vec4 sine, cosine;
                        simd::sinCos (simd::splat (6.2831855f) * x, sine, cosine);
                        storeTo (out, i, count, (sine + one) * simd::splat (0.5f));
                    });
}

/** Per-sample coefficients of one all-pass stage for one channel, written into lane `channel`
    of interleaved stereo pairs. With G = tan(θ)/(1 + tan(θ)) = sin θ/(sin θ + cos θ) and θ the
    break frequency times π/fs, a stage maps input v and state z to
        output = a·v + b·z  (a = 2G − 1, b = 2 − 2G)   and   next z = z + c·(v − z)  (c = 2G),
    the trapezoidal all-pass rearranged so that one multiply-add lies on the path from input to
    output. The state update keeps c = 2G itself, so low break frequencies keep their precision.
*/
struct StageCoefficients
{
    float* a;
    float* b;
    float* c;
};

inline void allpassCoefficients (const float* sweepLeft, const float* sweepRight, const float* center,
                                 bool constantCenter, const float* octaves, bool constantOctaves, float maxFrequency,
                                 float piOverFs, StageCoefficients out, size_t n) noexcept
{
    const auto one = simd::splat (1.0f), two = simd::splat (2.0f), zero = simd::splat (0.0f);
    const auto top = simd::splat (maxFrequency), scale = simd::splat (piOverFs);

    const auto gain = [&] (const float* sweep, size_t i, size_t count)
    {
        const auto exponent =
            (two * loadFrom (sweep, false, i, count) - one) * loadFrom (octaves, constantOctaves, i, count);
        auto fb = loadFrom (center, constantCenter, i, count) * simd::exp2 (exponent);
        fb = simd::select (fb < top, fb, top); // NaN goes to the cap, as std::min puts it there
        fb = simd::select (fb > zero, fb, zero);

        simd::Vec4 sine, cosine;
        simd::sinCos (fb * scale, sine, cosine);
        const auto g = sine / (sine + cosine);
        return g + g;
    };

    inGroupsOfFour (n,
                    [&] (size_t i, size_t count)
                    {
                        const auto cl = gain (sweepLeft, i, count);
                        const auto cr = gain (sweepRight, i, count);

                        const auto write = [&] (float* target, simd::Vec4 left, simd::Vec4 right)
                        {
                            float pairs[8];
                            simd::store (pairs, simd::interleaveLow (left, right));
                            simd::store (pairs + 4, simd::interleaveHigh (left, right));
                            std::copy_n (pairs, 2 * count, target + 2 * i);
                        };

                        write (out.c, cl, cr);
                        write (out.a, cl - one, cr - one);
                        write (out.b, two - cl, two - cr);
                    });
}

/** Interleaves two channels into stereo pairs, replacing what is not a finite number by 0. */
inline void interleaveFinite (const float* left, const float* right, float* pairs, size_t n) noexcept
{
    const auto infinity = simd::splat (std::numeric_limits<float>::infinity()), zero = simd::splat (0.0f);
    const auto finite = [&] (simd::Vec4 x) { return simd::select (simd::abs (x) < infinity, x, zero); };

    inGroupsOfFour (n,
                    [&] (size_t i, size_t count)
                    {
                        const auto l = finite (loadFrom (left, false, i, count));
                        const auto r = right != nullptr ? finite (loadFrom (right, false, i, count)) : zero;
                        float out[8];
                        simd::store (out, simd::interleaveLow (l, r));
                        simd::store (out + 4, simd::interleaveHigh (l, r));
                        std::copy_n (out, 2 * count, pairs + 2 * i);
                    });
}

/** A chorus channel's delay for each sample, split into whole samples and a fraction:
    d = (min(longestMs − predelay, depth)·sweep + predelay)·samplesPerMs, held within 0..longest.
*/
inline void chorusDelays (const float* sweep, const float* predelay, const float* depth, float longestMs,
                          float samplesPerMs, float longest, int* whole, float* fraction, size_t n) noexcept
{
    const auto zero = simd::splat (0.0f), cap = simd::splat (longest);

    inGroupsOfFour (n,
                    [&] (size_t i, size_t count)
                    {
                        const auto pre = loadFrom (predelay, false, i, count);
                        const auto room = simd::splat (longestMs) - pre;
                        const auto swing = loadFrom (depth, false, i, count);
                        auto d = (simd::select (swing < room, swing, room) * loadFrom (sweep, false, i, count) + pre) *
                                 simd::splat (samplesPerMs);
                        d = simd::select (d > zero, simd::select (cap < d, cap, d), zero);

                        const auto w = simd::truncate (d);
                        int wholeLanes[4];
                        std::memcpy (wholeLanes, &w, sizeof (wholeLanes));
                        std::copy_n (wholeLanes, count, whole + i);
                        storeTo (fraction, i, count, d - simd::toFloat (w));
                    });
}

/** Replaces what is not a finite number by 0. */
inline Vec4 finiteOrZero (Vec4 x) noexcept
{
    return simd::select (simd::abs (x) < simd::splat (std::numeric_limits<float>::infinity()), x, simd::splat (0.0f));
}

/** out = ((1 − mix)·finite(dry) + mix·wet) / (|feedback| + 1); with wetOnly, wet / (|feedback| + 1). */
inline void chorusOutput (const float* dry, const float* wet, const float* mix, bool constantMix, bool wetOnly,
                          const float* feedback, float* out, size_t n) noexcept
{
    const auto one = simd::splat (1.0f);

    inGroupsOfFour (n,
                    [&] (size_t i, size_t count)
                    {
                        auto level = loadFrom (wet, false, i, count);

                        if (!wetOnly)
                        {
                            const auto m = loadFrom (mix, constantMix, i, count);
                            level = (one - m) * finiteOrZero (loadFrom (dry, false, i, count)) + m * level;
                        }

                        storeTo (out, i, count, level / (simd::abs (loadFrom (feedback, false, i, count)) + one));
                    });
}

/** The state a feedback path may keep (see SampleGuards::forFeedback), lane by lane. */
inline Vec4 forFeedback (Vec4 x) noexcept
{
    using Guards = SampleGuards<float>;
    const auto magnitude = simd::abs (x);
    return simd::select ((magnitude > simd::splat (Guards::silenceFloor)) &&
                             (magnitude < simd::splat (Guards::runawayLimit)),
                         x, simd::splat (0.0f));
}

/** One block of the all-pass chain with its feedback loop, both channels in the lanes of one
    vector. Inputs, outputs and coefficients are stereo pairs; the chain input (input less the
    fed-back value) goes to chainInput when it is not null.
*/
struct ChainBlock
{
    const float* input;
    float* output;
    float* chainInput;
    StageCoefficients coefficients;
    const float* loopGain; // per sample
    const float* texture;  // per sample, or null when the texture is 0 throughout
    size_t n;
};

// The chain in two builds: the x86-64 baseline, and (GCC on x86) one for processors with AVX2 and
// FMA, chosen at run time, where a stage's output is a single fused multiply-add of its input.
namespace baseline
{
#include "AllpassChain.h"
} // namespace baseline

#if QMRK_DSP_FMA_DISPATCH
#pragma GCC push_options
#pragma GCC target("avx2,fma")
namespace fused
{
#define QMRK_DSP_CHAIN_FMA 1
#include "AllpassChain.h"
#undef QMRK_DSP_CHAIN_FMA
} // namespace fused
#pragma GCC pop_options

inline bool hasFusedMultiplyAdd() noexcept
{
    static const bool supported = __builtin_cpu_supports ("avx2") && __builtin_cpu_supports ("fma");
    return supported;
}
#endif

/** runAllpassChain for a stage count known only at run time (1 to maxStages). */
template <size_t... Counts>
void runAllpassChain (const ChainBlock& block, float* states, float* feedback, size_t stages,
                      std::index_sequence<Counts...>) noexcept
{
    using Fn = void (*) (const ChainBlock&, float*, float*);
    static constexpr Fn plain[] = { &baseline::runAllpassChain<Counts + 1>... };

    if (stages < 1 || stages > sizeof...(Counts))
        return;

#if QMRK_DSP_FMA_DISPATCH
    static constexpr Fn withFma[] = { &fused::runAllpassChain<Counts + 1>... };

    if (hasFusedMultiplyAdd())
    {
        withFma[stages - 1](block, states, feedback);
        return;
    }
#endif

    plain[stages - 1](block, states, feedback);
}

} // namespace qmrk_dsp::kernels
