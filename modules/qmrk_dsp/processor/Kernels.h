#pragma once

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

template <size_t Stages>
void runAllpassChain (const ChainBlock& block, float* states, float* feedback) noexcept
{
    Vec4 z[Stages];

    for (size_t k = 0; k < Stages; ++k)
        z[k] = simd::loadPair (states + 2 * k);

    auto s = simd::loadPair (feedback);
    const auto one = simd::splat (1.0f), zero = simd::splat (0.0f);

    for (size_t i = 0; i < block.n; ++i)
    {
        const auto a = simd::loadPair (block.coefficients.a + 2 * i);
        const auto b = simd::loadPair (block.coefficients.b + 2 * i);
        const auto c = simd::loadPair (block.coefficients.c + 2 * i);

        // Fed-back value bent toward its magnitude: max(t, 1)·(s + min(max(t, 0), 1)·(|s| − s)),
        // which is s at t = 0, |s| at t = 1 and t·|s| above.
        auto e = s;

        if (block.texture != nullptr)
        {
            const auto t = simd::splat (block.texture[i]);
            const auto k = simd::min (simd::max (t, zero), one);
            e = simd::max (t, one) * (s + k * (simd::abs (s) - s));
        }

        const auto u = simd::loadPair (block.input + 2 * i) - e;
        auto v = u;

        for (size_t k = 0; k < Stages; ++k)
        {
            const auto next = a * v + b * z[k];
            z[k] = z[k] + c * (v - z[k]);
            v = next;
        }

        simd::storePair (block.output + 2 * i, v);

        if (block.chainInput != nullptr)
            simd::storePair (block.chainInput + 2 * i, u);

        s = forFeedback (v * simd::splat (block.loopGain[i]));
    }

    for (size_t k = 0; k < Stages; ++k)
        simd::storePair (states + 2 * k, z[k]);

    simd::storePair (feedback, s);
}

/** runAllpassChain for a stage count known only at run time (1 to maxStages). */
template <size_t... Counts>
void runAllpassChain (const ChainBlock& block, float* states, float* feedback, size_t stages,
                      std::index_sequence<Counts...>) noexcept
{
    using Fn = void (*) (const ChainBlock&, float*, float*);
    static constexpr Fn table[] = { &runAllpassChain<Counts + 1>... };

    if (stages >= 1 && stages <= sizeof...(Counts))
        table[stages - 1](block, states, feedback);
}

} // namespace qmrk_dsp::kernels
