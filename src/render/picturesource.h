// A picture file as the picture window holds it: the file's bytes and
// format, the bitmap decoded at a scale (JPEGs through the library's 1/2,
// 1/4 and 1/8 decodes), and the rules that choose that scale, the zoom steps
// and the zoomed bitmap the window displays.
#pragma once

#include "model/clips.h"

#include <QImage>
#include <QSize>
#include <QList>
#include <QString>
#include <QUrl>

#include <cstdint>
#include <vector>

namespace render {

// Largest picture file read (bytes); a larger one is refused unread.
constexpr int64_t maxPictureFileBytes = int64_t(256) << 20;
// The displayed bitmap's limit: when both sides of the zoomed picture exceed
// it, only its top-left part is shown.
constexpr int32_t maxShownSide = 1600;
// Whatever the sides, the displayed bitmap never holds more pixels than this.
constexpr int64_t maxShownPixels = int64_t(1) << 24;

// Zoom-out and zoom-in steps from the rounded percentage of `zoom`.
double zoomOutStep(double zoom);
double zoomInStep(double zoom);
// The zoom a slider position applies: max(position, 1) ÷ 100.
double sliderZoom(int32_t position);
// The percentage shown: trunc(zoom × 100).
int32_t zoomPercent(double zoom);

// The JPEG decode denominator (8, 4, 2, 1) for a new picture from the size of
// its 1/8-scale decode and the area available: n = the smaller of the two
// whole ratios; n < 2 keeps 8, 2..3 gives 4, 4..7 gives 2, 8 and more 1.
int32_t loadDenominator(QSize available, QSize eighth);
// The denominator a zoom needs without enlarging (below 25 % any, 25..49 %
// at most 4, 50..99 % at most 2, from 100 % 1), never coarser than `current`.
int32_t zoomDenominator(double zoom, int32_t current);

// How the displayed bitmap is made from a decoded (oriented) bitmap: the
// zoomed size, and when it is too large the top-left part of the decoded
// bitmap (crop) resized to `shown` at the same zoom.
struct displayPlan_t {
    QSize result;   // decoded × zoom × denominator
    QSize crop;     // the part of the decoded bitmap used
    QSize shown;    // the displayed bitmap's size
    bool partial = false;
};
displayPlan_t planDisplay(QSize decoded, double zoom, int32_t denominator);

// The format code (model::pictureGif …) of a file name's extension (dots
// removed, any case); 0 for anything else.
int32_t pictureFormatOf(const QString& fileName);

// The kinds of file a picture can be inserted from, as a user reads them.
QString insertablePictureKinds();
// Whether the file is a picture the editor takes: by its name, or else by
// the signature its first bytes carry.
bool isPictureFile(const QString& fileName);
// The first local file among dropped URLs that is a picture; empty for none.
QString droppedPictureFile(const QList<QUrl>& urls);

enum class pictureLoad_t { ok, unreadable, tooLarge, undecodable };

struct pictureSource_t {
    QString fileName;
    int32_t format = 0;
    std::vector<uint8_t> bytes;  // the file as read
    QImage decoded;              // at 1 / denominator, as stored (not turned)
    int32_t denominator = 1;
    QSize fullSize;              // the decoded size at full scale
    bool valid() const { return !decoded.isNull(); }
};

// Reads and decodes a picture file for the window: a JPEG at 1/8 first, then
// at the scale the available area asks for; other formats at full size.
pictureLoad_t loadPictureFile(const QString& fileName, QSize available, pictureSource_t& out);
// A picture data record's bytes decoded at full scale (a picture item's clips
// are edited on its stored picture).
pictureLoad_t loadStoredPicture(int32_t format, const std::vector<uint8_t>& bytes, const QString& name,
                                pictureSource_t& out);
// Decodes the JPEG again at another denominator; false (source unchanged)
// when it cannot, or when the source is not a JPEG.
bool redecode(pictureSource_t& source, int32_t denominator);

// The size of the oriented picture at full scale in picture pixels: for
// sideways turns odd sides lose a pixel and the sides swap.
QSize orientedSize(QSize full, int32_t orientation);

// The displayed bitmap: the decoded picture turned and mirrored by the view
// state, then resized (Mitchell) by zoom × denominator, within the limits above.
QImage displayedPicture(const pictureSource_t& source, const model::pictureView_t& view, double zoom,
                        displayPlan_t* plan = nullptr);

} // namespace render
