// The weighted-sum loops are worth full loop vectorisation.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("O3")
#endif

#include "render/resample.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace render {

namespace {

constexpr float piF = std::numbers::pi_v<float>;

float sinc(float y)
{
    if (y == 0.0f) return 1.0f;
    const float a = piF * y;
    return std::sin(a) / a;
}

// Reflects a position at the edges once, then limits it to the row.
int32_t reflect(int32_t p, int32_t n)
{
    if (p < 0) p = -p;
    else if (p >= n) p = 2 * n - 1 - p;
    return std::clamp(p, 0, n - 1);
}

// How a weighted sum becomes a channel value: sum div total (truncating),
// or sum div 256 when the weights cancel, limited to 0 … 255.
//
// For the usual totals (1 … 4096) the quotient is taken as sum × (1/total) in
// single precision plus 1e-4, truncated. That is exact wherever it matters:
// below 255·total (< 2^20, so the sum converts exactly) the relative error of
// the two roundings is under 2^-23, i.e. under 3.1e-5 at quotients up to 255,
// and the nudge keeps exact quotients from falling short while staying below
// the gap of 1/total ≥ 2.4e-4 to the next integer; beyond, it clamps to 255.
// Unlike an integer division this vectorises.
struct divider_t {
    int32_t total = 256;
    float inv = 1.0f / 256;
    bool fast = false;

    explicit divider_t(int32_t t)
    {
        total = t != 0 ? t : 256;
        fast = total > 0 && total <= 4096;
        inv = 1.0f / float(total);
    }

    static uint8_t viaReciprocal(int32_t sum, float inv)
    {
        float v = float(sum) * inv + 1e-4f;
        v = v < 0.0f ? 0.0f : v;
        v = v > 255.0f ? 255.0f : v;
        return uint8_t(int32_t(v));
    }

    uint8_t operator()(int32_t sum) const
    {
        if (fast) return viaReciprocal(sum, inv);
        return uint8_t(std::clamp(sum / total, 0, 255));
    }
};

bool validFilter(int32_t filter) { return filter >= 0 && filter < filterCount; }

// The two passes are built for the baseline processor and for AVX2 (chosen
// at load time); integer arithmetic and separately rounded float operations
// give the same bytes on both.
// Not under ThreadSanitizer: the clones' resolver, instrumented too, would
// run at load time before the sanitizer has started.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(__SANITIZE_THREAD__)
#define LUMORA_RESAMPLE_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define LUMORA_RESAMPLE_CLONES
#endif

template <int BPP>
LUMORA_RESAMPLE_CLONES void horizontalPass(const pixelBuffer_t& src, uint8_t* tmp, int32_t tmpStride,
                                           int32_t targetWidth, const contributors_t& c,
                                           const std::vector<divider_t>& div)
{
    // Byte offsets of the contributors within a source row.
    std::vector<int32_t> offset(c.index.size());
    for (size_t k = 0; k < offset.size(); ++k) offset[k] = c.index[k] * BPP;
    const int32_t* off = offset.data();
    const int32_t* wt = c.weight.data();
    const int32_t* start = c.start.data();
    // The sums of a row go through one conversion loop with each column's
    // reciprocal; columns whose total needs the exact division are redone.
    const size_t n = size_t(targetWidth) * 3;
    std::vector<int32_t> sums(n);
    std::vector<float> inv(n);
    std::vector<int32_t> slow;
    for (int32_t i = 0; i < targetWidth; ++i) {
        for (int ch = 0; ch < 3; ++ch) inv[size_t(i) * 3 + size_t(ch)] = div[size_t(i)].inv;
        if (!div[size_t(i)].fast) slow.push_back(i);
    }
    int32_t* sum = sums.data();
    const float* rcp = inv.data();
    for (int32_t y = 0; y < src.height; ++y) {
        const uint8_t* s = src.row(y);
        for (int32_t i = 0; i < targetWidth; ++i) {
            int32_t b0 = 0, b1 = 0, b2 = 0;
            for (int32_t k = start[i], e = start[i + 1]; k < e; ++k) {
                const uint8_t* px = s + off[k];
                const int32_t w = wt[k];
                b0 += w * px[0];
                b1 += w * px[1];
                b2 += w * px[2];
            }
            sum[3 * i] = b0;
            sum[3 * i + 1] = b1;
            sum[3 * i + 2] = b2;
        }
        uint8_t* d = tmp + ptrdiff_t(y) * tmpStride;
        for (size_t x = 0; x < n; ++x) d[x] = divider_t::viaReciprocal(sum[x], rcp[x]);
        for (int32_t i : slow)
            for (int ch = 0; ch < 3; ++ch) d[3 * i + ch] = div[size_t(i)](sum[3 * i + ch]);
    }
}

LUMORA_RESAMPLE_CLONES void verticalPass(const uint8_t* tmp, int32_t tmpStride, const pixelBuffer_t& dst, const contributors_t& c)
{
    const int32_t n = dst.width * 3;
    std::vector<int32_t> acc(size_t(n) + 1);
    int32_t* a = acc.data();
    for (int32_t j = 0; j < dst.height; ++j) {
        std::fill(acc.begin(), acc.end(), 0);
        for (int32_t k = c.start[j]; k < c.start[j + 1]; ++k) {
            const uint8_t* r = tmp + ptrdiff_t(c.index[k]) * tmpStride;
            const int32_t w = c.weight[k];
            for (int32_t x = 0; x < n; ++x) a[x] += w * r[x];
        }
        const divider_t dv(c.total(j));
        uint8_t* d = dst.row(j);
        if (dst.bytesPerPixel == 3 && dv.fast) {
            const float inv = dv.inv;
            for (int32_t x = 0; x < n; ++x) d[x] = divider_t::viaReciprocal(a[x], inv);
        } else if (dst.bytesPerPixel == 3) {
            for (int32_t x = 0; x < n; ++x) d[x] = dv(a[x]);
        } else {
            for (int32_t x = 0, o = 0; x < n; x += 3, o += 4) {
                d[o] = dv(a[x]);
                d[o + 1] = dv(a[x + 1]);
                d[o + 2] = dv(a[x + 2]);
                d[o + 3] = 0xFF;
            }
        }
    }
}

} // namespace

bool pixelBuffer_t::valid() const
{
    if (!data || width <= 0 || height <= 0) return false;
    if (bytesPerPixel != 3 && bytesPerPixel != 4) return false;
    if (int64_t(width) * height > maxResamplePixels) return false;
    return stride >= int64_t(width) * bytesPerPixel;
}

bool bitmap24_t::resize(int32_t w, int32_t h)
{
    if (w < 0 || h < 0 || w > maxResamplePixels / 4 || h > maxResamplePixels / 4 ||
        int64_t(w) * h > maxResamplePixels)
        return false;
    width = w;
    height = h;
    stride = (w * 3 + 3) & ~3;
    pixels.assign(size_t(stride) * size_t(h), 0);
    return true;
}

pixelBuffer_t bitmap24_t::view()
{
    return {pixels.data(), width, height, stride, 3};
}

float filterValue(int32_t filter, float x)
{
    const float t = std::fabs(x);
    switch (filter) {
    case filterBox:
        return (x > -0.5f && x <= 0.5f) ? 1.0f : 0.0f;
    case filterTriangle:
        return t < 1.0f ? 1.0f - t : 0.0f;
    case filterHermite:
        return t < 1.0f ? (2.0f * t - 3.0f) * t * t + 1.0f : 0.0f;
    case filterBell:
        if (t < 0.5f) return 0.75f - t * t;
        if (t < 1.5f) {
            const float u = t - 1.5f;
            return 0.5f * u * u;
        }
        return 0.0f;
    case filterBSpline:
        if (t < 1.0f) {
            const float tt = t * t;
            return 0.5f * tt * t - tt + 2.0f / 3.0f;
        }
        if (t < 2.0f) {
            const float u = 2.0f - t;
            return u * u * u / 6.0f;
        }
        return 0.0f;
    case filterLanczos3:
        return t < 3.0f ? sinc(t) * sinc(t / 3.0f) : 0.0f;
    case filterMitchell: {
        const float tt = t * t;
        if (t < 1.0f) return (7.0f * tt * t - 12.0f * tt + 16.0f / 3.0f) / 6.0f;
        if (t < 2.0f) return (-(7.0f / 3.0f) * tt * t + 12.0f * tt - 20.0f * t + 32.0f / 3.0f) / 6.0f;
        return 0.0f;
    }
    default:
        return 0.0f;
    }
}

float defaultSupport(int32_t filter)
{
    static constexpr float supports[filterCount] = {0.5f, 1.0f, 1.0f, 1.5f, 2.0f, 3.0f, 2.0f};
    return validFilter(filter) ? supports[filter] : 0.0f;
}

int32_t contributors_t::total(int32_t i) const
{
    int32_t t = 0;
    for (int32_t k = start[size_t(i)]; k < start[size_t(i) + 1]; ++k) t += weight[size_t(k)];
    return t;
}

uint8_t weightedQuotient(int32_t sum, int32_t total)
{
    return divider_t(total)(sum);
}

contributors_t buildContributors(int32_t targetSize, int32_t sourceSize, int32_t filter, float support)
{
    contributors_t c;
    c.start.reserve(size_t(std::max(targetSize, 0)) + 1);
    c.start.push_back(0);
    if (targetSize < 2 || sourceSize < 2) {
        c.start.resize(size_t(std::max(targetSize, 0)) + 1, 0);
        return c;
    }
    const float k = float(targetSize - 1) / float(sourceSize - 1);
    const float s = support;
    for (int32_t i = 0; i < targetSize; ++i) {
        const float center = float(i) / k;
        const bool enlarging = k >= 1.0f;
        const float width = enlarging ? s : s / k;
        const int32_t left = int32_t(std::floor(center - width));
        const int32_t right = int32_t(std::ceil(center + width));
        for (int32_t p = left; p <= right; ++p) {
            const float x = center - float(p);
            const float w = enlarging ? std::nearbyint(filterValue(filter, x) * 256.0f)
                                      : std::nearbyint(filterValue(filter, x * k) * k * 256.0f);
            if (w == 0.0f) continue;
            c.index.push_back(reflect(p, sourceSize));
            c.weight.push_back(int32_t(w));
        }
        c.start.push_back(int32_t(c.index.size()));
    }
    return c;
}

bool resampleInto(const pixelBuffer_t& source, const pixelBuffer_t& target, int32_t filter, double support)
{
    if (!source.valid() || !target.valid() || !validFilter(filter)) return false;
    if (!(support >= 0) || support > maxResampleSupport) return false;
    if (source.width < 2 || source.height < 2 || target.width < 2 || target.height < 2) return false;
    const float s = support == 0 ? defaultSupport(filter) : float(support);

    // Horizontal pass into a 24-bit intermediate of targetWidth × sourceHeight.
    const contributors_t cx = buildContributors(target.width, source.width, filter, s);
    std::vector<divider_t> div;
    div.reserve(size_t(target.width));
    for (int32_t i = 0; i < target.width; ++i) div.emplace_back(cx.total(i));
    const int32_t tmpStride = target.width * 3;
    std::vector<uint8_t> tmp(size_t(tmpStride) * size_t(source.height));
    if (source.bytesPerPixel == 3)
        horizontalPass<3>(source, tmp.data(), tmpStride, target.width, cx, div);
    else
        horizontalPass<4>(source, tmp.data(), tmpStride, target.width, cx, div);

    // Vertical pass from the intermediate into the target.
    const contributors_t cy = buildContributors(target.height, source.height, filter, s);
    verticalPass(tmp.data(), tmpStride, target, cy);
    return true;
}

bool resamplePicture(const pixelBuffer_t& source, const pixelBuffer_t& target, int32_t filter)
{
    if (!source.valid() || !target.valid() || !validFilter(filter)) return false;
    if (target.width % source.width != 0 || target.height % source.height != 0)
        return resampleInto(source, target, filter);
    const int32_t fx = target.width / source.width, fy = target.height / source.height;
    for (int32_t j = 0; j < target.height; ++j) {
        const uint8_t* s = source.row(j / fy);
        uint8_t* d = target.row(j);
        if (fx == 1 && source.bytesPerPixel == 3 && target.bytesPerPixel == 3) {
            std::copy(s, s + ptrdiff_t(target.width) * 3, d);
            continue;
        }
        for (int32_t i = 0; i < target.width; ++i) {
            const uint8_t* px = s + ptrdiff_t(i / fx) * source.bytesPerPixel;
            uint8_t* out = d + ptrdiff_t(i) * target.bytesPerPixel;
            out[0] = px[0];
            out[1] = px[1];
            out[2] = px[2];
            if (target.bytesPerPixel == 4) out[3] = 0xFF;
        }
    }
    return true;
}

bool resampleBitmap(const pixelBuffer_t& source, bitmap24_t& target, int32_t targetWidth,
                    int32_t targetHeight, int32_t filter, double support)
{
    if (!target.resize(std::max(targetWidth, 0), std::max(targetHeight, 0))) return false;
    if (targetWidth < 2 || targetHeight < 2) return false;
    return resampleInto(source, target.view(), filter, support);
}

} // namespace render
