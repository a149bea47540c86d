// The picture window's loading rules: zoom steps, the JPEG decode scale on
// loading and on zooming, the displayed bitmap's size limit, and refusals.
#include "render/picturesource.h"

#include "samples/samplepictures.h"
#include "testnames.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

using namespace render;

namespace {

struct stepCase_t {
    const char* name;
    double zoom;
    double out, in;
};
void PrintTo(const stepCase_t& c, std::ostream* os) { *os << c.name; }

class PictureZoomSteps : public ::testing::TestWithParam<stepCase_t> {};

TEST_P(PictureZoomSteps, FromTheRoundedPercentage)
{
    EXPECT_DOUBLE_EQ(zoomOutStep(GetParam().zoom), GetParam().out);
    EXPECT_DOUBLE_EQ(zoomInStep(GetParam().zoom), GetParam().in);
}

INSTANTIATE_TEST_SUITE_P(Cases, PictureZoomSteps,
    ::testing::Values(
        stepCase_t{"At12", 0.125, 0.125, 0.25},
        stepCase_t{"At24p6RoundsTo25", 0.246, 0.125, 0.5},
        stepCase_t{"At25", 0.25, 0.125, 0.5},
        stepCase_t{"At26", 0.26, 0.25, 0.5},
        stepCase_t{"At49", 0.49, 0.25, 0.5},
        stepCase_t{"At50", 0.5, 0.25, 1.0},
        stepCase_t{"At51", 0.51, 0.5, 1.0},
        stepCase_t{"At100", 1.0, 0.5, 1.25},
        stepCase_t{"At101", 1.01, 1.0, 1.25},
        stepCase_t{"At125", 1.25, 1.0, 1.5},
        stepCase_t{"At150", 1.5, 1.25, 1.75},
        stepCase_t{"At175", 1.75, 1.5, 2.0},
        stepCase_t{"At199", 1.99, 1.75, 2.0},
        stepCase_t{"At200", 2.0, 1.75, 3.0},
        stepCase_t{"At201", 2.01, 2.0, 3.0},
        stepCase_t{"At300", 3.0, 2.0, 3.0}),
    testnames::byName{});

TEST(ZoomSlider, ReleaseAppliesAtLeastOnePercentAndThePercentageTruncates)
{
    EXPECT_DOUBLE_EQ(sliderZoom(0), 0.01);
    EXPECT_DOUBLE_EQ(sliderZoom(175), 1.75);
    EXPECT_EQ(zoomPercent(0.125), 12);
    EXPECT_EQ(zoomPercent(0.29), 29);
}

struct scaleCase_t {
    const char* name;
    QSize available, eighth;
    int32_t denominator;
};
void PrintTo(const scaleCase_t& c, std::ostream* os) { *os << c.name; }

class LoadScale : public ::testing::TestWithParam<scaleCase_t> {};

TEST_P(LoadScale, TheSmallerWholeRatioChooses)
{
    EXPECT_EQ(loadDenominator(GetParam().available, GetParam().eighth), GetParam().denominator);
}

INSTANTIATE_TEST_SUITE_P(Cases, LoadScale,
    ::testing::Values(
        scaleCase_t{"OneFitsKeepsAnEighth", {900, 700}, {500, 375}, 8},
        scaleCase_t{"TwoGivesAQuarter", {1000, 800}, {500, 375}, 4},
        scaleCase_t{"ThreeGivesAQuarter", {1500, 1200}, {500, 375}, 4},
        scaleCase_t{"FourGivesAHalf", {400, 400}, {100, 90}, 2},
        scaleCase_t{"SevenGivesAHalf", {700, 9000}, {100, 90}, 2},
        scaleCase_t{"EightGivesFullSize", {800, 800}, {100, 90}, 1},
        scaleCase_t{"TheHeightDecides", {8000, 100}, {100, 90}, 8}),
    testnames::byName{});

struct zoomScaleCase_t {
    const char* name;
    double zoom;
    int32_t current, denominator;
};
void PrintTo(const zoomScaleCase_t& c, std::ostream* os) { *os << c.name; }

class ZoomScale : public ::testing::TestWithParam<zoomScaleCase_t> {};

TEST_P(ZoomScale, NoEnlargementAndNeverCoarser)
{
    EXPECT_EQ(zoomDenominator(GetParam().zoom, GetParam().current), GetParam().denominator);
}

INSTANTIATE_TEST_SUITE_P(Cases, ZoomScale,
    ::testing::Values(
        zoomScaleCase_t{"Below25KeepsAnEighth", 0.24, 8, 8},
        zoomScaleCase_t{"At25AQuarter", 0.25, 8, 4},
        zoomScaleCase_t{"At49AQuarter", 0.49, 8, 4},
        zoomScaleCase_t{"At50AHalf", 0.5, 8, 2},
        zoomScaleCase_t{"At99AHalf", 0.99, 4, 2},
        zoomScaleCase_t{"At100FullSize", 1.0, 8, 1},
        zoomScaleCase_t{"ZoomingOutKeepsTheFinerScale", 0.125, 2, 2}),
    testnames::byName{});

TEST(DisplayPlan, BothSidesAbove1600ShowOnlyTheTopLeftPartAtTheSameZoom)
{
    const displayPlan_t whole = planDisplay({1000, 500}, 1.5, 1);
    EXPECT_FALSE(whole.partial);
    EXPECT_EQ(whole.shown, QSize(1500, 750));
    const displayPlan_t part = planDisplay({1500, 1200}, 0.5, 4);  // result 3000 × 2400
    EXPECT_TRUE(part.partial);
    EXPECT_EQ(part.result, QSize(3000, 2400));
    EXPECT_EQ(part.shown, QSize(1600, 1280));
    EXPECT_EQ(part.crop, QSize(800, 640));
}

class PictureFile : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString write(const char* name, const std::vector<uint8_t>& bytes)
    {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
        return path;
    }
};

TEST_F(PictureFile, A4000By3000JpegIn900By700LoadsAtAnEighthAndZoomTo25ReloadsAtAQuarter)
{
    const QString path = write("big.jpg", samples::encodeJpeg(samples::samplePattern(4000, 3000)));
    pictureSource_t s;
    ASSERT_EQ(loadPictureFile(path, {900, 700}, s), pictureLoad_t::ok);
    EXPECT_EQ(s.denominator, 8);
    EXPECT_EQ(s.decoded.size(), QSize(500, 375));
    EXPECT_EQ(s.fullSize, QSize(4000, 3000));
    EXPECT_EQ(zoomPercent(1.0 / s.denominator), 12);
    ASSERT_TRUE(redecode(s, zoomDenominator(0.25, s.denominator)));
    EXPECT_EQ(s.denominator, 4);
    EXPECT_EQ(s.decoded.size(), QSize(1000, 750));
    EXPECT_EQ(displayedPicture(s, {}, 0.25).size(), QSize(1000, 750));
}

TEST_F(PictureFile, DisplayedPictureIsTurnedBeforeItIsZoomed)
{
    const QString path = write("small.gif", samples::encodeGif(samples::samplePattern(161, 120)));
    pictureSource_t s;
    ASSERT_EQ(loadPictureFile(path, {900, 700}, s), pictureLoad_t::ok);
    EXPECT_EQ(s.denominator, 1);
    const QImage shown = displayedPicture(s, {1, 1, 90}, 0.5);
    EXPECT_EQ(shown.size(), QSize(60, 80));  // 161 trimmed to 160, the sides swapped, halved
    EXPECT_EQ(orientedSize(s.fullSize, 270), QSize(120, 160));
}

TEST_F(PictureFile, DamagedOrHostileFilesAreRefused)
{
    pictureSource_t s;
    std::vector<uint8_t> jpeg = samples::encodeJpeg(samples::samplePattern(64, 48));
    jpeg.resize(jpeg.size() / 3);
    EXPECT_EQ(loadPictureFile(write("cut.jpg", jpeg), {900, 700}, s), pictureLoad_t::undecodable);
    EXPECT_EQ(loadPictureFile(write("text.gif", {'h', 'e', 'l', 'l', 'o'}), {900, 700}, s), pictureLoad_t::undecodable);
    EXPECT_EQ(loadPictureFile(write("notes.txt", {'h', 'e', 'l', 'l', 'o'}), {900, 700}, s), pictureLoad_t::undecodable);
    // A file is read as what its bytes are, whatever its name says.
    EXPECT_EQ(loadPictureFile(write("picture.png", samples::encodeBmp(samples::samplePattern(8, 8))), {900, 700}, s),
              pictureLoad_t::ok);
    EXPECT_EQ(s.format, model::pictureBmp);
    EXPECT_EQ(loadPictureFile(dir.filePath("missing.bmp"), {900, 700}, s), pictureLoad_t::unreadable);
    // A GIF header claiming a 60000 × 60000 screen is refused before any pixel memory is taken.
    const std::vector<uint8_t> huge = {'G', 'I', 'F', '8', '9', 'a', 0x60, 0xEA, 0x60, 0xEA, 0, 0, 0, ';'};
    EXPECT_EQ(loadPictureFile(write("huge.gif", huge), {900, 700}, s), pictureLoad_t::undecodable);
    // A JPEG whose frame header claims 60000 × 60000 pixels: refused before decoding, even at 1/8.
    std::vector<uint8_t> big = samples::encodeJpeg(samples::samplePattern(64, 48));
    for (size_t i = 0; i + 8 < big.size(); ++i) {
        if (big[i] == 0xFF && big[i + 1] == 0xC0) {
            big[i + 5] = big[i + 7] = 0xEA;
            big[i + 6] = big[i + 8] = 0x60;
            break;
        }
    }
    EXPECT_EQ(loadPictureFile(write("huge.jpg", big), {900, 700}, s), pictureLoad_t::undecodable);
    EXPECT_FALSE(s.valid());
}

TEST(PictureFormat, ByExtensionInAnyCase)
{
    EXPECT_EQ(pictureFormatOf(QStringLiteral("/a/b.JPEG")), model::pictureJpeg);
    EXPECT_EQ(pictureFormatOf(QStringLiteral("x.Gif")), model::pictureGif);
    EXPECT_EQ(pictureFormatOf(QStringLiteral("x.wmf")), model::pictureMetafile);
    EXPECT_EQ(pictureFormatOf(QStringLiteral("x.lmra")), 0);
}

} // namespace
