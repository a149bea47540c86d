// Filtered resampling: filters, weights, edge reflection, the weighted sum's
// division and clamping, and buffers of both pixel sizes.
#include "render/resample.h"
#include "testnames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace render;

namespace {

// A 24-bit bitmap whose every row holds the given grey values (all three channels).
bitmap24_t greyRows(const std::vector<int>& values, int32_t height)
{
    bitmap24_t b;
    b.resize(int32_t(values.size()), height);
    for (int32_t y = 0; y < height; ++y)
        for (size_t x = 0; x < values.size(); ++x)
            for (int c = 0; c < 3; ++c) b.row(y)[3 * x + c] = uint8_t(values[x]);
    return b;
}

std::vector<int> channelRow(const bitmap24_t& b, int32_t y, int c)
{
    std::vector<int> v;
    for (int32_t x = 0; x < b.width; ++x) v.push_back(b.row(y)[3 * x + c]);
    return v;
}

bitmap24_t patterned(int32_t w, int32_t h)
{
    bitmap24_t b;
    b.resize(w, h);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            b.row(y)[3 * x] = uint8_t((x * 37 + y * 11) & 255);
            b.row(y)[3 * x + 1] = uint8_t((x * x + 3 * y) & 255);
            b.row(y)[3 * x + 2] = uint8_t(((x ^ y) * 29) & 255);
        }
    return b;
}

} // namespace

// --- filters ---

struct filterCase_t {
    int32_t filter;
    float x;
    float value;
};

static std::string filterName(int32_t filter)
{
    static const char* const names[] = {"Box", "Triangle", "Hermite", "Bell", "BSpline", "Lanczos3", "Mitchell"};
    return filter >= 0 && filter < filterCount ? names[filter] : "Unknown" + std::to_string(filter);
}

void PrintTo(const filterCase_t& c, std::ostream* os)
{
    *os << filterName(c.filter) << " filter at " << c.x << " is " << c.value;
}

class FilterValue : public ::testing::TestWithParam<filterCase_t> {};

TEST_P(FilterValue, MatchesTheFormula)
{
    const auto& c = GetParam();
    EXPECT_NEAR(filterValue(c.filter, c.x), c.value, 1e-6f) << c.filter << " at " << c.x;
}

INSTANTIATE_TEST_SUITE_P(
    Table, FilterValue,
    ::testing::Values(filterCase_t{filterBox, 0.5f, 1.0f}, filterCase_t{filterBox, -0.5f, 0.0f},
                      filterCase_t{filterBox, 0.0f, 1.0f}, filterCase_t{filterTriangle, 0.25f, 0.75f},
                      filterCase_t{filterTriangle, -1.0f, 0.0f}, filterCase_t{filterHermite, 0.5f, 0.5f},
                      filterCase_t{filterHermite, 0.0f, 1.0f}, filterCase_t{filterBell, 0.0f, 0.75f},
                      filterCase_t{filterBell, 0.5f, 0.5f}, filterCase_t{filterBell, 1.0f, 0.125f},
                      filterCase_t{filterBell, 1.5f, 0.0f}, filterCase_t{filterBSpline, 0.0f, 2.0f / 3.0f},
                      filterCase_t{filterBSpline, 1.0f, 1.0f / 6.0f}, filterCase_t{filterBSpline, -2.0f, 0.0f},
                      filterCase_t{filterLanczos3, 0.0f, 1.0f}, filterCase_t{filterLanczos3, 1.0f, 0.0f},
                      filterCase_t{filterLanczos3, 3.0f, 0.0f}, filterCase_t{filterMitchell, 0.0f, 8.0f / 9.0f},
                      filterCase_t{filterMitchell, 1.0f, 1.0f / 18.0f}, filterCase_t{filterMitchell, 2.0f, 0.0f},
                      filterCase_t{99, 0.0f, 0.0f}),
    [](const auto& info) { return filterName(info.param.filter) + "At" + testnames::number(info.param.x); });

TEST(FilterValue, LanczosAndMitchellHaveNegativeLobes)
{
    EXPECT_LT(filterValue(filterLanczos3, 1.5f), 0.0f);
    EXPECT_LT(filterValue(filterMitchell, 1.5f), 0.0f);
    EXPECT_LT(filterValue(filterMitchell, -1.5f), 0.0f);
}

TEST(FilterValue, DefaultSupports)
{
    const float want[] = {0.5f, 1.0f, 1.0f, 1.5f, 2.0f, 3.0f, 2.0f};
    for (int32_t f = 0; f < filterCount; ++f) EXPECT_EQ(defaultSupport(f), want[f]) << f;
    EXPECT_EQ(defaultSupport(7), 0.0f);
}

// --- the weighted sum's division ---

TEST(WeightedQuotient, TruncatesAndClampsExactlyForEveryUsualTotal)
{
    // Around every multiple of every total the quotient must match the exact
    // integer division (the fast path must never round up or fall short).
    for (int32_t total = 1; total <= 4200; ++total)
        for (int32_t n = -2; n <= 257; ++n)
            for (int32_t d : {-1, 0, 1, total / 2}) {
                const int32_t sum = n * total + d;
                const int32_t want = std::clamp(sum / total, 0, 255);
                ASSERT_EQ(weightedQuotient(sum, total), want) << sum << " / " << total;
            }
}

TEST(WeightedQuotient, ZeroNegativeAndHugeTotals)
{
    EXPECT_EQ(weightedQuotient(256 * 7 + 255, 0), 7);  // div 256
    EXPECT_EQ(weightedQuotient(-1000, -10), 100);        // truncating division, then the limit
    EXPECT_EQ(weightedQuotient(1000, -10), 0);
    EXPECT_EQ(weightedQuotient(INT32_MAX, 100000), 255);
    EXPECT_EQ(weightedQuotient(100000 * 37 + 99999, 100000), 37);
    EXPECT_EQ(weightedQuotient(INT32_MAX, 1), 255);
    EXPECT_EQ(weightedQuotient(INT32_MIN, 1), 0);
}

// --- contributors ---

TEST(Contributors, ReflectAtTheEdges)
{
    // Scale 1 with the Mitchell filter: positions −2 … 2 around each pixel.
    const contributors_t c = buildContributors(5, 5, filterMitchell, 2.0f);
    std::vector<int32_t> first(c.index.begin() + c.start[0], c.index.begin() + c.start[1]);
    // p = −1 reflects to 1 (the weights at ±2 are 0 and not stored).
    EXPECT_EQ(first, (std::vector<int32_t>{1, 0, 1}));
    std::vector<int32_t> last(c.index.begin() + c.start[4], c.index.begin() + c.start[5]);
    EXPECT_EQ(last, (std::vector<int32_t>{3, 4, 4}));  // p = 5 reflects to 2·5 − 1 − 5 = 4
    // Weights: Round(8/9 × 256) = 228 and Round(1/18 × 256) = 14.
    EXPECT_EQ(std::vector<int32_t>(c.weight.begin(), c.weight.begin() + 3), (std::vector<int32_t>{14, 228, 14}));
}

TEST(Contributors, ThousandToTenTriangleAveragesAboutTwoHundredPixels)
{
    const contributors_t c = buildContributors(10, 1000, filterTriangle, 1.0f);
    ASSERT_EQ(c.start.size(), 11u);
    const int32_t i = 5;
    const double center = i * 999.0 / 9.0;  // 555
    const auto b = c.index.begin() + c.start[i], e = c.index.begin() + c.start[i + 1];
    const int32_t lo = *std::min_element(b, e), hi = *std::max_element(b, e);
    // The kernel reaches 111 source pixels to each side; the smallest weights
    // near its ends round to 0 and are not stored.
    EXPECT_GE(lo, center - 111);
    EXPECT_LE(hi, center + 111);
    EXPECT_LE(lo, center - 80);
    EXPECT_GE(hi, center + 80);
    EXPECT_GT(e - b, 150);
    EXPECT_NEAR(c.total(i), 256, 8);
}

// --- whole bitmaps ---

TEST(Resample, TwoByTwoIsUnchangedByTheInterpolatingFilters)
{
    for (int32_t f : {filterBox, filterTriangle, filterHermite, filterLanczos3}) {
        bitmap24_t src = patterned(2, 2);
        bitmap24_t dst;
        ASSERT_TRUE(resampleBitmap(src.view(), dst, 2, 2, f)) << f;
        for (int32_t y = 0; y < 2; ++y)
            EXPECT_TRUE(std::equal(src.row(y), src.row(y) + 6, dst.row(y))) << "filter " << f << " row " << y;
    }
}

TEST(Resample, UniformPicturesStayUniformWithEveryFilterAndSize)
{
    for (int32_t f = 0; f < filterCount; ++f)
        for (auto [w, h] : {std::pair{7, 5}, std::pair{40, 3}, std::pair{2, 2}, std::pair{3, 60}}) {
            bitmap24_t src = greyRows(std::vector<int>(13, 173), 11);
            bitmap24_t dst;
            ASSERT_TRUE(resampleBitmap(src.view(), dst, w, h, f));
            for (int32_t y = 0; y < h; ++y)
                EXPECT_EQ(channelRow(dst, y, 1), std::vector<int>(size_t(w), 173)) << f << " " << w << "x" << h;
        }
}

TEST(Resample, OnePixelSizesAreRefusedAndLeaveTheTargetBlank)
{
    bitmap24_t src = patterned(1, 5);
    bitmap24_t dst;
    EXPECT_FALSE(resampleBitmap(src.view(), dst, 4, 4, filterTriangle));
    EXPECT_EQ(dst.width, 4);
    EXPECT_EQ(dst.height, 4);
    EXPECT_TRUE(std::all_of(dst.pixels.begin(), dst.pixels.end(), [](uint8_t v) { return v == 0; }));

    bitmap24_t src2 = patterned(5, 5);
    EXPECT_FALSE(resampleBitmap(src2.view(), dst, 1, 3, filterTriangle));
    EXPECT_EQ(dst.width, 1);
    EXPECT_EQ(dst.height, 3);

    // Into existing memory: untouched.
    bitmap24_t target = patterned(1, 4);
    const auto before = target.pixels;
    EXPECT_FALSE(resampleInto(src2.view(), target.view(), filterTriangle));
    EXPECT_EQ(target.pixels, before);
}

TEST(Resample, BadArgumentsAreRefused)
{
    bitmap24_t src = patterned(5, 5), dst;
    dst.resize(4, 4);
    EXPECT_FALSE(resampleInto(src.view(), dst.view(), 7));
    EXPECT_FALSE(resampleInto(src.view(), dst.view(), -1));
    EXPECT_FALSE(resampleInto(src.view(), dst.view(), filterBox, -1.0));
    EXPECT_FALSE(resampleInto(src.view(), dst.view(), filterBox, 1e9));
    EXPECT_FALSE(resampleInto(src.view(), dst.view(), filterBox, std::nan("")));
    pixelBuffer_t narrowStride = dst.view();
    narrowStride.stride = 5;
    EXPECT_FALSE(resampleInto(src.view(), narrowStride, filterBox));
    pixelBuffer_t twoBytes = dst.view();
    twoBytes.bytesPerPixel = 2;
    EXPECT_FALSE(resampleInto(src.view(), twoBytes, filterBox));
    EXPECT_FALSE(resampleBitmap(src.view(), dst, 1 << 20, 1 << 20, filterBox));
    EXPECT_TRUE(resampleInto(src.view(), dst.view(), filterBox, 3.0));
}

TEST(Resample, BoxEnlargementCopiesNearestAndTiesGoLeft)
{
    // 3 → 5: scale 2, target 1 and 3 sit exactly half way between two sources.
    bitmap24_t src = greyRows({10, 20, 30}, 3);
    bitmap24_t dst;
    ASSERT_TRUE(resampleBitmap(src.view(), dst, 5, 5, filterBox));
    for (int32_t y = 0; y < 5; ++y) EXPECT_EQ(channelRow(dst, y, 0), (std::vector<int>{10, 10, 20, 20, 30}));
}

TEST(Resample, WeightedSumTruncates)
{
    // Half way between 0 and 101 with the triangle filter: (128·0 + 128·101) / 256 = 50.5 → 50.
    bitmap24_t src = greyRows({0, 101, 201}, 2);
    bitmap24_t dst;
    ASSERT_TRUE(resampleBitmap(src.view(), dst, 5, 2, filterTriangle));
    EXPECT_EQ(channelRow(dst, 0, 2), (std::vector<int>{0, 50, 101, 151, 201}));
    EXPECT_EQ(channelRow(dst, 1, 2), channelRow(dst, 0, 2));
}

TEST(Resample, NegativeLobesAreClampedNotWrapped)
{
    for (int32_t f : {filterLanczos3, filterMitchell}) {
        // A bright line on black, and a dark line on white, enlarged 4 times.
        std::vector<int> bright(9, 0), dark(9, 255);
        bright[4] = 255;
        dark[4] = 0;
        bitmap24_t b = greyRows(bright, 2), d = greyRows(dark, 2), outB, outD;
        ASSERT_TRUE(resampleBitmap(b.view(), outB, 33, 2, f));
        ASSERT_TRUE(resampleBitmap(d.view(), outD, 33, 2, f));
        const auto rb = channelRow(outB, 0, 0), rd = channelRow(outD, 0, 0);
        EXPECT_EQ(*std::max_element(rb.begin(), rb.end()), rb[16]);
        EXPECT_EQ(*std::min_element(rd.begin(), rd.end()), rd[16]);
        // 1.25 … 1.75 source pixels away the filter is negative: the sums
        // fall below 0 (bright line) or above 255 (dark line).
        for (int32_t i : {5, 6, 7}) {
            EXPECT_EQ(rb[16 - i], 0) << f << " " << i;
            EXPECT_EQ(rb[16 + i], 0) << f << " " << i;
            EXPECT_EQ(rd[16 - i], 255) << f << " " << i;
            EXPECT_EQ(rd[16 + i], 255) << f << " " << i;
        }
    }
}

TEST(Resample, EndPixelsMapOntoEachOther)
{
    bitmap24_t src = greyRows({17, 80, 140, 240}, 4);
    bitmap24_t dst;
    ASSERT_TRUE(resampleBitmap(src.view(), dst, 11, 7, filterTriangle));
    const auto row = channelRow(dst, 3, 1);
    EXPECT_EQ(row.front(), 17);
    EXPECT_EQ(row.back(), 240);
    EXPECT_TRUE(std::is_sorted(row.begin(), row.end()));
}

TEST(Resample, ReductionAveragesTheSpan)
{
    // 1000 → 10 with the triangle filter: a target pixel over a region of
    // uniform value takes that value; a region half dark and half bright gives
    // a value in between.
    std::vector<int> v(1000, 0);
    for (int x = 0; x < 1000; ++x) v[size_t(x)] = x < 500 ? 40 : 240;
    bitmap24_t src = greyRows(v, 2);
    bitmap24_t dst;
    ASSERT_TRUE(resampleBitmap(src.view(), dst, 10, 2, filterTriangle));
    const auto row = channelRow(dst, 0, 0);
    EXPECT_EQ(row[0], 40);
    EXPECT_EQ(row[2], 40);  // centre 222, reaching 333
    EXPECT_EQ(row[7], 240);
    EXPECT_GT(row[4], 40);  // centre 444 reaches past 500
    EXPECT_LT(row[4], 140);
    EXPECT_GT(row[5], 140);
    EXPECT_LT(row[5], 240);
}

TEST(Resample, ThirtyTwoBitBuffersWithPaddedRowsMatchTwentyFourBit)
{
    bitmap24_t src24 = patterned(23, 17);
    // The same picture as 32-bit pixels in rows padded by 12 bytes.
    const int32_t stride32 = 23 * 4 + 12;
    std::vector<uint8_t> mem(size_t(stride32) * 17, 0x5A);
    for (int32_t y = 0; y < 17; ++y)
        for (int32_t x = 0; x < 23; ++x)
            for (int c = 0; c < 3; ++c) mem[size_t(y * stride32 + 4 * x + c)] = src24.row(y)[3 * x + c];
    const pixelBuffer_t src32{mem.data(), 23, 17, stride32, 4};

    for (int32_t f = 0; f < filterCount; ++f)
        for (auto [w, h] : {std::pair{9, 31}, std::pair{50, 8}}) {
            bitmap24_t want, from32;
            ASSERT_TRUE(resampleBitmap(src24.view(), want, w, h, f));
            ASSERT_TRUE(resampleBitmap(src32, from32, w, h, f));
            EXPECT_EQ(from32.pixels, want.pixels) << f;

            const int32_t outStride = w * 4 + 8;
            std::vector<uint8_t> out(size_t(outStride) * size_t(h), 0);
            ASSERT_TRUE(resampleInto(src32, pixelBuffer_t{out.data(), w, h, outStride, 4}, f));
            for (int32_t y = 0; y < h; ++y)
                for (int32_t x = 0; x < w; ++x) {
                    const uint8_t* p = out.data() + y * outStride + 4 * x;
                    for (int c = 0; c < 3; ++c) ASSERT_EQ(p[c], want.row(y)[3 * x + c]) << f << " " << x << "," << y;
                    ASSERT_EQ(p[3], 0xFF);
                }
        }
}

TEST(Resample, ChannelsAreFilteredIndependently)
{
    bitmap24_t src = patterned(6, 6);
    bitmap24_t dst;
    ASSERT_TRUE(resampleBitmap(src.view(), dst, 11, 11, filterBSpline));
    // Swapping two channels of the source swaps them in the result.
    bitmap24_t swapped = src;
    for (int32_t y = 0; y < 6; ++y)
        for (int32_t x = 0; x < 6; ++x) std::swap(swapped.row(y)[3 * x], swapped.row(y)[3 * x + 2]);
    bitmap24_t dst2;
    ASSERT_TRUE(resampleBitmap(swapped.view(), dst2, 11, 11, filterBSpline));
    for (int32_t y = 0; y < 11; ++y) {
        EXPECT_EQ(channelRow(dst2, y, 0), channelRow(dst, y, 2));
        EXPECT_EQ(channelRow(dst2, y, 1), channelRow(dst, y, 1));
    }
}

// --- pictures: copied when every target pixel lies in one source pixel ---

TEST(ResamplePicture, WholeMultiplesCopyAndOtherSizesFilter)
{
    bitmap24_t src = patterned(6, 4);
    const struct {
        int32_t w, h;
        bool copied;
    } cases[] = {{6, 4, true}, {12, 4, true}, {18, 12, true}, {7, 4, false}, {12, 5, false}, {3, 2, false}};
    for (const auto& c : cases) {
        bitmap24_t got, filtered;
        got.resize(c.w, c.h);
        filtered.resize(c.w, c.h);
        ASSERT_TRUE(resamplePicture(src.view(), got.view(), filterMitchell)) << c.w << "x" << c.h;
        if (c.copied) {
            for (int32_t y = 0; y < c.h; ++y)
                for (int32_t x = 0; x < c.w; ++x)
                    for (int ch = 0; ch < 3; ++ch)
                        ASSERT_EQ(got.row(y)[3 * x + ch], src.row(y * 4 / c.h)[3 * (x * 6 / c.w) + ch])
                            << c.w << "x" << c.h << " at " << x << "," << y;
        } else {
            ASSERT_TRUE(resampleInto(src.view(), filtered.view(), filterMitchell));
            EXPECT_EQ(got.pixels, filtered.pixels) << c.w << "x" << c.h;
        }
    }
}

TEST(ResamplePicture, OnePixelSidesAreEnlargedByCopying)
{
    bitmap24_t src = greyRows({90}, 1);
    bitmap24_t got;
    got.resize(5, 3);
    ASSERT_TRUE(resamplePicture(src.view(), got.view(), filterMitchell));
    EXPECT_EQ(channelRow(got, 2, 1), (std::vector<int>{90, 90, 90, 90, 90}));
    bitmap24_t odd;
    odd.resize(5, 3);
    bitmap24_t two = greyRows({10, 20}, 1);
    EXPECT_FALSE(resamplePicture(two.view(), odd.view(), filterMitchell)) << "5 is no multiple of 2, 1 row cannot be filtered";
}
