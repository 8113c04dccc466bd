// One block of the phaser's all-pass chain. Included twice by Kernels.h, once per instruction set,
// each time inside its own namespace: no include guard on purpose.

#if defined(__SSE__)
// Written with SSE intrinsics: with the pair loads as intrinsics the compiler keeps every vector in
// a register, where the portable form made it round-trip pairs through memory.
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
#if defined(QMRK_DSP_CHAIN_FMA)
    static V mulAdd (V a, V b, V c) noexcept
    {
        return _mm_fmadd_ps (a, b, c);
    }
#else
    static V mulAdd (V a, V b, V c) noexcept
    {
        return _mm_add_ps (_mm_mul_ps (a, b), c);
    }
#endif
    static V min (V a, V b) noexcept
    {
        return _mm_min_ps (a, b);
    }
    static V max (V a, V b) noexcept
    {
        return _mm_max_ps (a, b);
    }
    static V abs (V a) noexcept
    {
        return _mm_andnot_ps (_mm_set1_ps (-0.0f), a);
    }

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
    static V mulAdd (V a, V b, V c) noexcept { return a * b + c; }
    static V min (V a, V b) noexcept { return simd::min (a, b); }
    static V max (V a, V b) noexcept { return simd::max (a, b); }
    static V abs (V a) noexcept { return simd::abs (a); }
    static V forFeedback (V x) noexcept { return qmrk_dsp::kernels::forFeedback (x); }
};
#endif

/** One all-pass stage: output = a·v + b·z, z += c·(v − z). */
template <typename V>
inline void allpassStage (V& z, V& v, V a, V b, V c) noexcept
{
    using Ops = ChainOps;
    const auto next = Ops::mulAdd (a, v, Ops::mul (b, z));
    z = Ops::mulAdd (c, Ops::sub (v, z), z);
    v = next;
}

// Written out stage by stage (no loop counter, states free to stay in registers).
template <typename V, size_t... K>
inline void allpassStages (V* z, V& v, V a, V b, V c, std::index_sequence<K...>) noexcept
{
    (allpassStage (z[K], v, a, b, c), ...);
}

template <size_t Stages>
void runAllpassChain (const qmrk_dsp::kernels::ChainBlock& block, float* states, float* feedback) noexcept
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
