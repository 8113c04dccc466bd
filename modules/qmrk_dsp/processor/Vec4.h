#pragma once

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

namespace qmrk_dsp::simd
{
/** Four floats processed together: GCC/clang vector extensions where available (SSE2 on x86-64,
    NEON elsewhere), a plain loop on any other compiler. Only what the stages need.
*/
#if defined(__GNUC__)
struct Vec4
{
    using Native = float __attribute__ ((vector_size (16)));
    using Mask = int __attribute__ ((vector_size (16)));
    Native v;
};

inline Vec4 load (const float* p) noexcept
{
    Vec4 r;
    std::memcpy (&r.v, p, sizeof (r.v));
    return r;
}

inline void store (float* p, Vec4 a) noexcept
{
    std::memcpy (p, &a.v, sizeof (a.v));
}
inline Vec4 splat (float x) noexcept
{
    return { Vec4::Native { x, x, x, x } };
}
inline Vec4 operator+ (Vec4 a, Vec4 b) noexcept
{
    return { a.v + b.v };
}
inline Vec4 operator- (Vec4 a, Vec4 b) noexcept
{
    return { a.v - b.v };
}
inline Vec4 operator* (Vec4 a, Vec4 b) noexcept
{
    return { a.v * b.v };
}
inline Vec4 operator/ (Vec4 a, Vec4 b) noexcept
{
    return { a.v / b.v };
}

/** Lane-wise choice: where `ifTrue` compares true, a; elsewhere b. */
struct Choice
{
    Vec4::Mask m;
};

inline Choice operator<(Vec4 a, Vec4 b) noexcept
{
    return { a.v < b.v };
}
inline Choice operator> (Vec4 a, Vec4 b) noexcept
{
    return { a.v > b.v };
}
inline Choice operator>= (Vec4 a, Vec4 b) noexcept
{
    return { a.v >= b.v };
}
inline Choice operator&& (Choice a, Choice b) noexcept
{
    return { a.m & b.m };
}

inline Vec4 select (Choice c, Vec4 a, Vec4 b) noexcept
{
    return { (Vec4::Native) ((c.m & (Vec4::Mask) a.v) | (~c.m & (Vec4::Mask) b.v)) };
}

inline Vec4 abs (Vec4 a) noexcept
{
    return { (Vec4::Native) ((Vec4::Mask) a.v & Vec4::Mask { 0x7fffffff, 0x7fffffff, 0x7fffffff, 0x7fffffff }) };
}

/** Truncates toward zero; the lanes must lie within the int range. */
inline Vec4::Mask truncate (Vec4 a) noexcept
{
    return __builtin_convertvector(a.v, Vec4::Mask);
}
inline Vec4 toFloat (Vec4::Mask i) noexcept
{
    return { __builtin_convertvector(i, Vec4::Native) };
}
inline Vec4 flipSignWhere (Vec4::Mask signBits, Vec4 a) noexcept
{
    return { (Vec4::Native) ((Vec4::Mask) a.v ^ signBits) };
}
inline Vec4 fromBits (Vec4::Mask bits) noexcept
{
    return { (Vec4::Native) bits };
}
inline Vec4::Mask bitAnd (Vec4::Mask a, int b) noexcept
{
    return a & b;
}

/** Two floats in lanes 0 and 1, zeros above: one stereo frame. */
inline Vec4 loadPair (const float* p) noexcept
{
    Vec4 r { Vec4::Native {} };
    std::memcpy (&r.v, p, 2 * sizeof (float));
    return r;
}

inline void storePair (float* p, Vec4 a) noexcept
{
    std::memcpy (p, &a.v, 2 * sizeof (float));
}

/** (a0, b0, a1, b1) and (a2, b2, a3, b3). */
inline Vec4 interleaveLow (Vec4 a, Vec4 b) noexcept
{
    return { __builtin_shufflevector (a.v, b.v, 0, 4, 1, 5) };
}
inline Vec4 interleaveHigh (Vec4 a, Vec4 b) noexcept
{
    return { __builtin_shufflevector (a.v, b.v, 2, 6, 3, 7) };
}
inline Vec4::Mask add (Vec4::Mask a, int b) noexcept
{
    return a + b;
}
inline Vec4::Mask shiftLeft (Vec4::Mask a, int bits) noexcept
{
    return a << bits;
}
inline Choice nonZero (Vec4::Mask a) noexcept
{
    return { a != 0 };
}

inline Vec4 sqrt (Vec4 a) noexcept
{
#if defined(__SSE__)
    return { (Vec4::Native) _mm_sqrt_ps ((__m128) a.v) };
#else
    return { Vec4::Native { std::sqrt (a.v[0]), std::sqrt (a.v[1]), std::sqrt (a.v[2]), std::sqrt (a.v[3]) } };
#endif
}
#else
struct Vec4
{
    using Native = std::array<float, 4>;
    using Mask = std::array<int, 4>;
    Native v;
};

template <typename Fn>
inline Vec4 lanes (Fn&& fn) noexcept
{
    Vec4 r;
    for (size_t i = 0; i < 4; ++i)
        r.v[i] = fn (i);
    return r;
}

inline Vec4 load (const float* p) noexcept
{
    return lanes ([p] (size_t i) { return p[i]; });
}

inline void store (float* p, Vec4 a) noexcept
{
    std::copy (a.v.begin(), a.v.end(), p);
}
inline Vec4 splat (float x) noexcept
{
    return { { x, x, x, x } };
}
inline Vec4 operator+ (Vec4 a, Vec4 b) noexcept
{
    return lanes ([&] (size_t i) { return a.v[i] + b.v[i]; });
}
inline Vec4 operator- (Vec4 a, Vec4 b) noexcept
{
    return lanes ([&] (size_t i) { return a.v[i] - b.v[i]; });
}
inline Vec4 operator* (Vec4 a, Vec4 b) noexcept
{
    return lanes ([&] (size_t i) { return a.v[i] * b.v[i]; });
}
inline Vec4 operator/ (Vec4 a, Vec4 b) noexcept
{
    return lanes ([&] (size_t i) { return a.v[i] / b.v[i]; });
}

struct Choice
{
    std::array<bool, 4> m;
};

inline Choice operator<(Vec4 a, Vec4 b) noexcept
{
    return { { a.v[0] < b.v[0], a.v[1] < b.v[1], a.v[2] < b.v[2], a.v[3] < b.v[3] } };
}
inline Choice operator> (Vec4 a, Vec4 b) noexcept
{
    return b < a;
}
inline Choice operator>= (Vec4 a, Vec4 b) noexcept
{
    return { { a.v[0] >= b.v[0], a.v[1] >= b.v[1], a.v[2] >= b.v[2], a.v[3] >= b.v[3] } };
}
inline Choice operator&& (Choice a, Choice b) noexcept
{
    return { { a.m[0] && b.m[0], a.m[1] && b.m[1], a.m[2] && b.m[2], a.m[3] && b.m[3] } };
}
inline Vec4 select (Choice c, Vec4 a, Vec4 b) noexcept
{
    return lanes ([&] (size_t i) { return c.m[i] ? a.v[i] : b.v[i]; });
}
inline Vec4 abs (Vec4 a) noexcept
{
    return lanes ([&] (size_t i) { return std::abs (a.v[i]); });
}
inline Vec4::Mask truncate (Vec4 a) noexcept
{
    return { (int) a.v[0], (int) a.v[1], (int) a.v[2], (int) a.v[3] };
}
inline Vec4 toFloat (Vec4::Mask m) noexcept
{
    return lanes ([&] (size_t i) { return (float) m[i]; });
}

inline Vec4 flipSignWhere (Vec4::Mask signBits, Vec4 a) noexcept
{
    return lanes ([&] (size_t i) { return signBits[i] != 0 ? -a.v[i] : a.v[i]; });
}

inline Vec4 fromBits (Vec4::Mask bits) noexcept
{
    return lanes ([&] (size_t i) { return juce::bit_cast<float> (bits[i]); });
}

inline Vec4 sqrt (Vec4 a) noexcept
{
    return lanes ([&] (size_t i) { return std::sqrt (a.v[i]); });
}

template <typename Fn>
inline Vec4::Mask eachInt (Vec4::Mask a, Fn&& fn) noexcept
{
    for (auto& x : a)
        x = fn (x);
    return a;
}

inline Vec4::Mask bitAnd (Vec4::Mask a, int b) noexcept
{
    return eachInt (a, [b] (int x) { return x & b; });
}
inline Vec4::Mask add (Vec4::Mask a, int b) noexcept
{
    return eachInt (a, [b] (int x) { return x + b; });
}
inline Vec4::Mask shiftLeft (Vec4::Mask a, int bits) noexcept
{
    return eachInt (a, [bits] (int x) { return static_cast<int> (static_cast<unsigned> (x) << bits); });
}
inline Choice nonZero (Vec4::Mask a) noexcept
{
    return { { a[0] != 0, a[1] != 0, a[2] != 0, a[3] != 0 } };
}
inline Vec4 loadPair (const float* p) noexcept
{
    return { { p[0], p[1], 0.0f, 0.0f } };
}
inline void storePair (float* p, Vec4 a) noexcept
{
    p[0] = a.v[0], p[1] = a.v[1];
}
inline Vec4 interleaveLow (Vec4 a, Vec4 b) noexcept
{
    return { { a.v[0], b.v[0], a.v[1], b.v[1] } };
}
inline Vec4 interleaveHigh (Vec4 a, Vec4 b) noexcept
{
    return { { a.v[2], b.v[2], a.v[3], b.v[3] } };
}
#endif

inline Vec4 min (Vec4 a, Vec4 b) noexcept
{
    return select (a < b, a, b);
}
inline Vec4 max (Vec4 a, Vec4 b) noexcept
{
    return select (a > b, a, b);
}

/** sin and cos of angles from 0 to a little over 2π, within a few float ulps of std::sin/std::cos
    of the same float argument: the angle is reduced by quarter turns with π/2 split into three
    parts (so the reduction itself is exact enough), then Taylor polynomials on ±π/4.
*/
inline void sinCos (Vec4 angle, Vec4& sine, Vec4& cosine) noexcept
{
    constexpr float twoOverPi = 0.636619772f;
    constexpr float piOver2High = 1.5703125f;     // 8 significant bits: k × it is exact
    constexpr float piOver2Mid = 4.83826792e-04f; // the next bits
    constexpr float piOver2Low = 2.56328292e-12f; // the rest
    const auto quarter = truncate (angle * splat (twoOverPi) + splat (0.5f));
    const auto k = toFloat (quarter);
    const auto r = ((angle - k * splat (piOver2High)) - k * splat (piOver2Mid)) - k * splat (piOver2Low);
    const auto r2 = r * r;

    const auto s =
        r + r * r2 *
                (splat (-1.0f / 6.0f) +
                 r2 * (splat (1.0f / 120.0f) + r2 * (splat (-1.0f / 5040.0f) + r2 * splat (1.0f / 362880.0f))));
    const auto c =
        splat (1.0f) +
        r2 * (splat (-0.5f) +
              r2 * (splat (1.0f / 24.0f) +
                    r2 * (splat (-1.0f / 720.0f) + r2 * (splat (1.0f / 40320.0f) + r2 * splat (-1.0f / 3628800.0f)))));

    // Quadrant q: sin = s, c, -s, -c and cos = c, -s, -c, s.
    const auto odd = nonZero (bitAnd (quarter, 1));
    const auto sinSign = shiftLeft (bitAnd (quarter, 2), 30);
    const auto cosSign = shiftLeft (bitAnd (add (quarter, 1), 2), 30);
    sine = flipSignWhere (sinSign, select (odd, c, s));
    cosine = flipSignWhere (cosSign, select (odd, s, c));
}

/** 2^x for |x| up to 126, within a few float ulps: an integer power from the exponent bits and a
    Taylor polynomial of 2^f for the remaining |f| <= 1/2.
*/
inline Vec4 exp2 (Vec4 x) noexcept
{
    x = max (min (x, splat (126.0f)), splat (-126.0f));
    const auto n = truncate (x + select (x < splat (0.0f), splat (-0.5f), splat (0.5f)));
    const auto f = x - toFloat (n);

    // ln2^k / k!
    constexpr float c1 = 0.693147181f, c2 = 0.240226507f, c3 = 0.0555041087f, c4 = 0.00961812911f;
    constexpr float c5 = 0.00133335581f, c6 = 0.000154035304f, c7 = 1.52527338e-05f;
    const auto p =
        splat (1.0f) +
        f * (splat (c1) +
             f * (splat (c2) +
                  f * (splat (c3) + f * (splat (c4) + f * (splat (c5) + f * (splat (c6) + f * splat (c7)))))));
    return p * fromBits (shiftLeft (add (n, 127), 23));
}

} // namespace qmrk_dsp::simd
