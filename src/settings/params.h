// The settings object: attributes of new items, settings for new files, the
// user's preset tables, folders, recent files and guidance flags, read from
// the per-user store at start-up and written back at the end of a run; with
// it the display values and the run state, which are never stored.
#pragma once

#include "model/item.h"
#include "settings/displayvalues.h"
#include "settings/folders.h"
#include "settings/pageset.h"
#include "settings/runstate.h"
#include "settings/store.h"
#include "settings/toolstyles.h"

#include <QChar>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace settings {

constexpr int32_t presetRows = 12;
constexpr int32_t hintCount = 42;
constexpr int32_t reopenCount = 16;
constexpr int32_t savedColorCount = 12;
constexpr int32_t dialogColorCount = 16;

// Store key names.
inline const QString keyCustomSettings = QStringLiteral("CustomSettings");
inline const QString keyDialogColors = QStringLiteral("DialogColors");
inline const QString keyCustomColors = QStringLiteral("CustomColors");
inline const QString keyCustomWidths = QStringLiteral("CustomWidths");
inline const QString keyCustomPatterns = QStringLiteral("CustomPatterns");
inline const QString keyCustomShadows = QStringLiteral("CustomShadows");
inline const QString keyCustomDirections = QStringLiteral("CustomDirections");
inline const QString keyCustomAngles = QStringLiteral("CustomAngles");
inline const QString keyCustomSizes = QStringLiteral("CustomSizes");

// The four texts of a canvas rectangle as typed.
struct strRect_t {
    QString left, top, width, height;
    friend bool operator==(const strRect_t&, const strRect_t&) = default;
};

// Defaults of new files in one unit: the numbers and the texts they come from.
struct defaultsRec_t {
    double anchorStepX = 0, anchorStepY = 0;
    double canvasLeft = 0, canvasTop = 0, canvasWidth = 0, canvasHeight = 0;
    QString anchorStepXText, anchorStepYText;
    strRect_t canvasText;
    friend bool operator==(const defaultsRec_t&, const defaultsRec_t&) = default;
};

// Settings for new files.
struct defaults_t {
    int32_t units = 3;  // 1 pixels, 2 millimetres, 3 inches
    double pxPerUnitX = 96, pxPerUnitY = 96;
    int32_t angles = 1;  // direction presets typed in 1 degrees, 2 radians
    uint8_t showGridX = 1, showGridY = 1, snapX = 0, snapY = 0, showAnchorsX = 1, showAnchorsY = 1;
    defaultsRec_t recMm, recInch, recPixel;

    // The record of a unit (1..3); any other value gives the pixel record.
    defaultsRec_t& record(int32_t unit);
    const defaultsRec_t& record(int32_t unit) const;
    friend bool operator==(const defaults_t&, const defaults_t&) = default;
};

// A line-weight preset row.
struct custThicknessRec_t {
    double value = 0;      // mm
    int32_t pixels = 0;    // Round(mm × pxPerMmX)
    int32_t units = 3;     // unit the value was typed in
    QString name;
    QString valueText = QStringLiteral("0");
    uint8_t listed = 0;
    uint8_t selectNext = 0;  // not stored
    friend bool operator==(const custThicknessRec_t&, const custThicknessRec_t&) = default;
};

// A line-pattern preset row: dash, gap, dash, gap ...
struct custPatternRec_t {
    int32_t units = 3;
    int32_t count = 0;  // leading segments with a non-zero length
    QString name;
    std::array<QString, 12> segmentText;
    std::array<double, 12> segments{};       // mm
    std::array<int32_t, 12> segmentPixels{};
    uint8_t listed = 0;
    uint8_t selectNext = 0;  // not stored
    friend bool operator==(const custPatternRec_t&, const custPatternRec_t&) = default;
};

// A line-direction, text-angle or font-size preset row.
struct custDirectionRec_t {
    double value = 0;   // degrees in [0, 360], or points for sizes
    int32_t units = 1;  // 1 degrees, 2 radians
    QString name;
    QString valueText;
    uint8_t listed = 0;
    uint8_t selectNext = 0;  // not stored
    friend bool operator==(const custDirectionRec_t&, const custDirectionRec_t&) = default;
};

// A shadow preset row.
struct custShadowRec_t {
    QString name;
    int32_t elevation = 85, fade = 85, lightness = 85;  // 0..255
    uint8_t edited = 0;      // changed in the shadow dialog this run; not stored
    uint8_t selectNext = 0;  // not stored
    uint8_t listed = 0;
    friend bool operator==(const custShadowRec_t&, const custShadowRec_t&) = default;
};

using custThickness_t = std::array<custThicknessRec_t, presetRows>;
using custPattern_t = std::array<custPatternRec_t, presetRows>;
using custDirection_t = std::array<custDirectionRec_t, presetRows>;
using custShadow_t = std::array<custShadowRec_t, presetRows>;
using reopenarr_t = std::array<QString, reopenCount>;

// Elevation, fade, lightness of a new item's shadow.
struct shadowTriple_t {
    uint8_t elevation = 0, fade = 0, lightness = 0;
    friend bool operator==(const shadowTriple_t&, const shadowTriple_t&) = default;
};

// unitScale: a unit with its document pixels per unit.
struct unitScale_t {
    int32_t unit = 1;
    double pxPerUnitX = 1.0, pxPerUnitY = 1.0;
};

// The sixteen standard colours of the colour list, 0x00BBGGRR.
extern const std::array<int32_t, 16> standardColors;

// The store letters of preset rows: 'A' + row - 1.
inline QString rowLetter(int32_t row) { return QString(QChar(u'A' + row - 1)); }

// The tool styles, display values and run state are bases rather than
// members so that the many readers keep their short names (p.lineColor,
// p.markWidth); code that handles one part as a whole takes it through its
// accessor.
class TParams : public lineStyle_t,
                public shapeStyle_t,
                public textStyle_t,
                public displayValues_t,
                public runState_t {
public:
    // Reads and writes `store`; without one, the per-user store file.
    explicit TParams(settingsStore_t* store = nullptr);
    TParams(const TParams&) = delete;
    TParams& operator=(const TParams&) = delete;

    lineStyle_t& lineStyle() { return *this; }
    const lineStyle_t& lineStyle() const { return *this; }
    shapeStyle_t& shapeStyle() { return *this; }
    const shapeStyle_t& shapeStyle() const { return *this; }
    textStyle_t& textStyle() { return *this; }
    const textStyle_t& textStyle() const { return *this; }
    displayValues_t& display() { return *this; }
    const displayValues_t& display() const { return *this; }
    runState_t& run() { return *this; }
    const runState_t& run() const { return *this; }

    // ---- tool settings for new items, besides the styles ----
    int32_t lineWidthTab = 0, lineDirectionTab = 0, lineOutlineTab = 0;
    int32_t linePatternTab = 0;
    int32_t polytab = 0;
    int32_t polyshape = 0, polystate = 0;
    int32_t bpolyshape = 0, bpolystate = 0;
    int32_t tsizetab = 4;
    uint8_t fontQuality = 2;
    int32_t tangle = -10;
    int32_t tangletab = 0;
    shadowTriple_t shpict, shtext, shpoly;
    int32_t frplas = 0, liplas = 0, txplas = 0, poplas = 0;
    // Arrowheads of the next line and of the next open spline, curve or arc:
    // kinds at the start and the end (0 none .. 5 bar) and size (0..2).
    int32_t lineHeadStart = 0, lineHeadEnd = 0, lineHeadSize = 1;
    int32_t polyHeadStart = 0, polyHeadEnd = 0, polyHeadSize = 1;
    int32_t clframe = 0, clshadw = 0;
    int32_t frcolor = 0;
    double frwidth = 0.0;
    int32_t lgtdir = 0;
    int32_t lastMode = 0;

    // ---- settings for new files and further settings ----
    defaults_t newFile;
    page::pagesetArr_t pageSets;
    int32_t pspage = 1;
    reopenarr_t reopen;
    QString docdir = defaultDocumentFolder;
    QString picidr = defaultPictureFolder;
    QString expdir = defaultPictureFolder;
    int32_t picndx = 1;
    int32_t expndx = 1;
    std::array<uint8_t, hintCount> hintFlags;
    std::array<int32_t, savedColorCount> savedColors;
    // The colour dialog's custom colours as it keeps them: "colorX=" + hex text.
    QStringList dialogColors;

    // ---- preset tables ----
    custThickness_t customWidths;
    custPattern_t customPatterns;
    custDirection_t customDirections;  // line directions (table 1)
    custDirection_t customAngles;      // text angles (table 31)
    custDirection_t customSizes;       // font sizes (table 41)
    custShadow_t customShadows;

    // ---- start and end of a run ----
    void initSettings();
    // Writes every key but DialogColors, then commits the store; false when
    // the store could not be written (nothing is shown either way).
    bool saveAllSettings();
    // Makes the writes so far permanent; false when the store could not be written.
    bool commit();

    void readSettings();
    void writeSettings();
    void readCustomWidths();
    void writeCustomWidths();
    void readCustomPatterns();
    void writeCustomPatterns();
    void readCustomShadows();
    void writeCustomShadows();
    // table: 1 line directions, 31 text angles, 41 font sizes.
    void readCustomDirections(int32_t table);
    void writeCustomDirections(int32_t table);
    void readSavedColors();
    void writeSavedColors();
    void readDialogColors();
    void writeDialogColors();

    // ---- operations ----
    bool checkWidthRow(custThicknessRec_t& row) const;
    bool checkPatternRow(custPatternRec_t& row) const;
    static bool checkDirectionRow(custDirectionRec_t& row);
    double parseStoredReal(const QString& text);
    static void parseDefaultsTexts(defaults_t& defaults);
    unitScale_t unitScale(int32_t unit) const;
    static QString unitName(int32_t unit);
    static int32_t packGridFlags(const defaults_t& defaults);
    static void unpackGridFlags(int32_t value, defaults_t& defaults);
    defaults_t defaultsFromDocument(const model::headerBody_t& header) const;
    static void defaultsToDocument(const defaults_t& defaults, model::headerBody_t& header);
    void rememberColor(int32_t colour);
    int32_t keepKnownColor(int32_t colour, int32_t fallback) const;
    QString hintText() const;
    void setHintFlags(const QString& text);

    // The table of a direction-table number (1, 31, 41); null for others.
    custDirection_t* directionTable(int32_t table);
    const custDirection_t* directionTable(int32_t table) const;
    // The general decimal text of a real (up to 15 significant digits) with
    // the system's decimal separator, as the store keeps reals.
    QString realText(double v) const;

    settingsStore_t* store() const { return store_; }

private:
    void setDefaults();
    void defaultWidthRows();
    void defaultShadowRows();
    void defaultPatternRows();
    void defaultDirectionRows(int32_t table);

    bool readInt(const QString& key, const QString& name, int32_t& v) const;
    bool readRanged(const QString& key, const QString& name, int32_t& v, int32_t lo, int32_t hi) const;
    bool readText(const QString& key, const QString& name, QString& v) const;
    void readReal(const QString& name, double& field);
    // For preset rows: a present value must read; a missing one is empty.
    bool presentText(const QString& key, const QString& name, QString& v, bool& missing) const;

    std::unique_ptr<settingsStore_t> ownedStore_;
    settingsStore_t* store_ = nullptr;
};

} // namespace settings
