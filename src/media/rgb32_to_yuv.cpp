#include "media/rgb32_to_yuv.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define HAVE_AVX2_PATH 1
#endif

namespace {

// 16-bit fixed point: exact to within rounding for 8-bit values and for the
// sum of four of them, and small enough that no sum leaves 32 bits.
constexpr int kShift = 16;
constexpr double kR = 0.2126;  // BT.709 luma weights
constexpr double kB = 0.0722;
constexpr double kG = 1 - kR - kB;
constexpr double kLuma = 219.0 / 255;  // limited range: Y 16..235, Cb and Cr 16..240
constexpr double kChroma = 224.0 / 255;

constexpr int Fix(double v)
{
    return static_cast<int>(v * (1 << kShift) + (v < 0 ? -0.5 : 0.5));
}

constexpr int kYR = Fix(kLuma * kR), kYG = Fix(kLuma * kG), kYB = Fix(kLuma * kB);
// The chroma weights take the sum of four pixels, hence the quarter.
constexpr int kUR = Fix(-kChroma * kR / (2 * (1 - kB)) / 4), kUG = Fix(-kChroma * kG / (2 * (1 - kB)) / 4),
              kUB = Fix(kChroma / 2 / 4);
constexpr int kVR = Fix(kChroma / 2 / 4), kVG = Fix(-kChroma * kG / (2 * (1 - kR)) / 4),
              kVB = Fix(-kChroma * kB / (2 * (1 - kR)) / 4);
constexpr int kYOffset = (16 << kShift) + (1 << (kShift - 1));  // with rounding
constexpr int kCOffset = (128 << kShift) + (1 << (kShift - 1));

// The weights of a pixel's bytes 0, 1 and 2 (blue, green, red or red, green, blue).
struct Weights {
    int y[3], u[3], v[3];
};

constexpr Weights kBgraWeights{{kYB, kYG, kYR}, {kUB, kUG, kUR}, {kVB, kVG, kVR}};
constexpr Weights kRgbaWeights{{kYR, kYG, kYB}, {kUR, kUG, kUB}, {kVR, kVG, kVB}};

// Two rows at a time, written so that the compiler vectorizes both loops.
void ConvertRowPair(const uint8_t* __restrict a, const uint8_t* __restrict b, int width, Weights w,
                    uint8_t* __restrict ya, uint8_t* __restrict yb, uint8_t* __restrict u, uint8_t* __restrict v)
{
    for (int x = 0; x < width; ++x) {
        ya[x] = static_cast<uint8_t>((w.y[0] * a[4 * x] + w.y[1] * a[4 * x + 1] + w.y[2] * a[4 * x + 2] + kYOffset) >>
                                     kShift);
        yb[x] = static_cast<uint8_t>((w.y[0] * b[4 * x] + w.y[1] * b[4 * x + 1] + w.y[2] * b[4 * x + 2] + kYOffset) >>
                                     kShift);
    }
    for (int x = 0; x < width / 2; ++x) {
        const int first = a[8 * x] + a[8 * x + 4] + b[8 * x] + b[8 * x + 4];
        const int green = a[8 * x + 1] + a[8 * x + 5] + b[8 * x + 1] + b[8 * x + 5];
        const int third = a[8 * x + 2] + a[8 * x + 6] + b[8 * x + 2] + b[8 * x + 6];
        u[x] = static_cast<uint8_t>((w.u[0] * first + w.u[1] * green + w.u[2] * third + kCOffset) >> kShift);
        v[x] = static_cast<uint8_t>((w.v[0] * first + w.v[1] * green + w.v[2] * third + kCOffset) >> kShift);
    }
}

#ifdef HAVE_AVX2_PATH
#define AVX2 __attribute__((target("avx2")))

// The same sums, 16 pixels of each row at a time. Each 32-bit pixel is split
// into two pairs of 16-bit halves, bytes 0 and 2 and bytes 1 and 3, which
// one multiply-add each weighs and sums. Luma's green weight is over 16 bits,
// so green is taken twice and its weight halved: the sums stay the same to the
// bit, and so does every byte written.
static_assert(kYG % 2 == 0, "the halved green weight must be exact");

AVX2 inline __m256i Pairs(int low, int high)
{
    return _mm256_set1_epi32(static_cast<int>((static_cast<unsigned>(high) << 16) | (low & 0xFFFF)));
}

// Eight pixels' luma, as eight 32-bit values.
AVX2 inline __m256i Luma(__m256i pixels, __m256i outer, __m256i twiceGreen)
{
    const __m256i outerBytes = _mm256_and_si256(pixels, _mm256_set1_epi32(0x00FF00FF));
    const __m256i twiceMiddleBytes = _mm256_and_si256(_mm256_srli_epi32(pixels, 7), _mm256_set1_epi32(0x01FE01FE));
    const __m256i sum =
        _mm256_add_epi32(_mm256_madd_epi16(outerBytes, outer), _mm256_madd_epi16(twiceMiddleBytes, twiceGreen));
    return _mm256_srai_epi32(_mm256_add_epi32(sum, _mm256_set1_epi32(kYOffset)), kShift);
}

// Two rows' sums of bytes 0 and 2 (shift 0) or 1 and 3 (shift 8), pixel by
// pixel, in 16-bit halves.
AVX2 inline __m256i RowSums(__m256i a, __m256i b, int shift)
{
    const __m256i low = _mm256_set1_epi32(0x00FF00FF);
    return _mm256_add_epi16(_mm256_and_si256(_mm256_srli_epi32(a, shift), low),
                            _mm256_and_si256(_mm256_srli_epi32(b, shift), low));
}

// Four chroma values of each half of a 16-pixel row pair, from the rows' sums
// of bytes 0 and 2 (outerSums) and of bytes 1 and 3 (middleSums).
AVX2 inline __m256i Chroma(const __m256i outerSums[2], const __m256i middleSums[2], __m256i outer, __m256i middle)
{
    const __m256i first =
        _mm256_add_epi32(_mm256_madd_epi16(outerSums[0], outer), _mm256_madd_epi16(middleSums[0], middle));
    const __m256i second =
        _mm256_add_epi32(_mm256_madd_epi16(outerSums[1], outer), _mm256_madd_epi16(middleSums[1], middle));
    // Neighbours added: columns 0 1 4 5 in the low lane, 2 3 6 7 in the high.
    const __m256i columns = _mm256_hadd_epi32(first, second);
    return _mm256_srai_epi32(_mm256_add_epi32(columns, _mm256_set1_epi32(kCOffset)), kShift);
}

AVX2 void ConvertRowPairAvx2(const uint8_t* a, const uint8_t* b, int width, const Weights& w, uint8_t* ya,
                             uint8_t* yb, uint8_t* u, uint8_t* v)
{
    const __m256i yOuter = Pairs(w.y[0], w.y[2]), yTwiceGreen = Pairs(w.y[1] / 2, 0);
    const __m256i uOuter = Pairs(w.u[0], w.u[2]), uMiddle = Pairs(w.u[1], 0);
    const __m256i vOuter = Pairs(w.v[0], w.v[2]), vMiddle = Pairs(w.v[1], 0);
    // Packing works within each 128-bit lane; these put the results in order.
    const __m256i lumaOrder = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
    const __m256i chromaOrder = _mm256_setr_epi8(0, 1, 4, 5, 2, 3, 6, 7, 8, 9, 12, 13, 10, 11, 14, 15, 0, 1, 4, 5, 2,
                                                 3, 6, 7, 8, 9, 12, 13, 10, 11, 14, 15);
    int x = 0;
    for (; x + 16 <= width; x += 16) {
        const __m256i a0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + 4 * x));
        const __m256i a1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + 4 * x + 32));
        const __m256i b0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + 4 * x));
        const __m256i b1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + 4 * x + 32));

        const __m256i lumaA = _mm256_packus_epi32(Luma(a0, yOuter, yTwiceGreen), Luma(a1, yOuter, yTwiceGreen));
        const __m256i lumaB = _mm256_packus_epi32(Luma(b0, yOuter, yTwiceGreen), Luma(b1, yOuter, yTwiceGreen));
        const __m256i luma = _mm256_permutevar8x32_epi32(_mm256_packus_epi16(lumaA, lumaB), lumaOrder);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(ya + x), _mm256_castsi256_si128(luma));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(yb + x), _mm256_extracti128_si256(luma, 1));

        const __m256i outerSums[2] = {RowSums(a0, b0, 0), RowSums(a1, b1, 0)};
        const __m256i middleSums[2] = {RowSums(a0, b0, 8), RowSums(a1, b1, 8)};
        // Bytes: u 0 1 4 5, v 0 1 4 5 in the low lane, u 2 3 6 7, v 2 3 6 7 in
        // the high; gathered into u 0-7 then v 0-7.
        const __m256i packed = _mm256_packus_epi16(_mm256_packus_epi32(Chroma(outerSums, middleSums, uOuter, uMiddle),
                                                                       Chroma(outerSums, middleSums, vOuter, vMiddle)),
                                                   _mm256_setzero_si256());
        const __m128i chroma = _mm256_castsi256_si128(_mm256_shuffle_epi8(
            _mm256_permutevar8x32_epi32(packed, _mm256_setr_epi32(0, 4, 1, 5, 0, 4, 1, 5)), chromaOrder));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(u + x / 2), chroma);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(v + x / 2), _mm_unpackhi_epi64(chroma, chroma));
    }
    if (x < width)
        ConvertRowPair(a + 4 * x, b + 4 * x, width - x, w, ya + x, yb + x, u + x / 2, v + x / 2);
}

bool HasAvx2()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}
#endif

}  // namespace

void Rgb32ToYuv420(const uint8_t* pixels, ptrdiff_t stride, int width, int height, PixelOrder order,
                   uint8_t* const planes[3], const int strides[3])
{
    const Weights& weights = order == PixelOrder::Rgba ? kRgbaWeights : kBgraWeights;
#ifdef HAVE_AVX2_PATH
    static const bool avx2 = HasAvx2();
#endif
    for (int row = 0; row < height; row += 2) {
        const uint8_t* top = pixels + row * stride;
        uint8_t* luma = planes[0] + static_cast<ptrdiff_t>(row) * strides[0];
        uint8_t* u = planes[1] + static_cast<ptrdiff_t>(row / 2) * strides[1];
        uint8_t* v = planes[2] + static_cast<ptrdiff_t>(row / 2) * strides[2];
#ifdef HAVE_AVX2_PATH
        if (avx2) {
            ConvertRowPairAvx2(top, top + stride, width, weights, luma, luma + strides[0], u, v);
            continue;
        }
#endif
        ConvertRowPair(top, top + stride, width, weights, luma, luma + strides[0], u, v);
    }
}
