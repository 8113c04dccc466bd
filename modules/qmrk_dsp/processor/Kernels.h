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

#if defined(__SSE__)
// The chain is written with SSE intrinsics: with the pair loads as intrinsics the compiler keeps
// every vector in a register, where the portable form made it round-trip pairs through memory.
struct ChainOps
{
    using V = __m128;
    static V pair (const float* p) noexcept
    {
        return _mm_loadl_pi (_mm_setzero_ps(), reinterpret_cast<const __m64*> (p));
    }
    static void store (float* p, V v) noexcept { _mm_storel_pi (reinterpret_cast<__m64*> (p), v); }
    static V splat (float x) noexcept { return _mm_set1_ps (x); }
    static V add (V a, V b) noexcept { return _mm_add_ps (a, b); }
    static V sub (V a, V b) noexcept { return _mm_sub_ps (a, b); }
    static V mul (V a, V b) noexcept { return _mm_mul_ps (a, b); }
    static V min (V a, V b) noexcept { return _mm_min_ps (a, b); }
    static V max (V a, V b) noexcept { return _mm_max_ps (a, b); }
    static V abs (V a) noexcept { return _mm_andnot_ps (_mm_set1_ps (-0.0f), a); }

    static V forFeedback (V x) noexcept
    {
        using Guards = SampleGuards<float>;
        const auto magnitude = abs (x);
        const auto keep = _mm_and_ps (_mm_cmpgt_ps (magnitude, _mm_set1_ps (Guards::silenceFloor)),
                                      _mm_cmplt_ps (magnitude, _mm_set1_ps (Guards::runawayLimit)));
        return _mm_and_ps (keep, x);
    }
};
#else
struct ChainOps
{
    using V = Vec4;
    static V pair (const float* p) noexcept { return simd::loadPair (p); }
    static void store (float* p, V v) noexcept { simd::storePair (p, v); }
    static V splat (float x) noexcept { return simd::splat (x); }
    static V add (V a, V b) noexcept { return a + b; }
    static V sub (V a, V b) noexcept { return a - b; }
    static V mul (V a, V b) noexcept { return a * b; }
    static V min (V a, V b) noexcept { return simd::min (a, b); }
    static V max (V a, V b) noexcept { return simd::max (a, b); }
    static V abs (V a) noexcept { return simd::abs (a); }
    static V forFeedback (V x) noexcept { return kernels::forFeedback (x); }
};
#endif

/** One all-pass stage: output = a·v + b·z, z += c·(v − z). */
template <typename V>
inline void allpassStage (V& z, V& v, V a, V b, V c) noexcept
{
    using Ops = ChainOps;
    const auto next = Ops::add (Ops::mul (a, v), Ops::mul (b, z));
    z = Ops::add (z, Ops::mul (c, Ops::sub (v, z)));
    v = next;
}

// Written out stage by stage (no loop counter, states free to stay in registers).
template <typename V, size_t... K>
inline void allpassStages (V* z, V& v, V a, V b, V c, std::index_sequence<K...>) noexcept
{
    (allpassStage (z[K], v, a, b, c), ...);
}

template <size_t Stages>
void runAllpassChain (const ChainBlock& block, float* states, float* feedback) noexcept
{
    using Ops = ChainOps;
    typename Ops::V z[Stages];

    for (size_t k = 0; k < Stages; ++k)
        z[k] = Ops::pair (states + 2 * k);

    auto s = Ops::pair (feedback);
    const auto one = Ops::splat (1.0f), zero = Ops::splat (0.0f);

    for (size_t i = 0; i < block.n; ++i)
    {
        const auto a = Ops::pair (block.coefficients.a + 2 * i);
        const auto b = Ops::pair (block.coefficients.b + 2 * i);
        const auto c = Ops::pair (block.coefficients.c + 2 * i);

        // Fed-back value bent toward its magnitude: max(t, 1)·(s + min(max(t, 0), 1)·(|s| − s)),
        // which is s at t = 0, |s| at t = 1 and t·|s| above.
        auto e = s;

        if (block.texture != nullptr)
        {
            const auto t = Ops::splat (block.texture[i]);
            const auto k = Ops::min (Ops::max (t, zero), one);
            e = Ops::mul (Ops::max (t, one), Ops::add (s, Ops::mul (k, Ops::sub (Ops::abs (s), s))));
        }

        const auto u = Ops::sub (Ops::pair (block.input + 2 * i), e);
        auto v = u;

        allpassStages (z, v, a, b, c, std::make_index_sequence<Stages>());

        Ops::store (block.output + 2 * i, v);

        if (block.chainInput != nullptr)
            Ops::store (block.chainInput + 2 * i, u);

        s = Ops::forFeedback (Ops::mul (v, Ops::splat (block.loopGain[i])));
    }

    for (size_t k = 0; k < Stages; ++k)
        Ops::store (states + 2 * k, z[k]);

    Ops::store (feedback, s);
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
