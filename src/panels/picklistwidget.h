// The attribute pick lists as owner-drawn drop-down lists: every row is
// drawn with the editor's own renderer (swatches, real line weights and
// dashes, a real soft shadow, the shaded surface), the highlighted entry is
// chosen with the mouse or the arrow keys, and the owning panel builds,
// selects and reads it through the operations of picklists.h.
#pragma once

#include "panels/picklists.h"

#include <QComboBox>
#include <QImage>

#include <cstdint>

namespace panels {

// How rows are drawn: the panel's sample colour and the screen's scale.
struct rowStyle_t {
    int32_t sampleColour = 0;  // weight bars, dashes, "Solid" and surface swatches
    double pxPerMmY = 96 / 25.4;
    QFont font;
};

// Where the entry's text starts in its row.
int32_t rowTextLeft(listKind_t kind, const pickEntry_t& e);
// Draws one row into `r` (cleared in `background`, text in `ink`).
void drawPickRow(QPainter& p, const QRect& r, listKind_t kind, const pickEntry_t& e, const rowStyle_t& style,
                 const QColor& background, const QColor& ink);
// The sample picture of a shadow triple, drawn by the renderer: a small
// square casting the shadow.
QImage shadowSample(const settings::shadowTriple_t& shadow, QSize size);

// The width the side panels give their lists.
constexpr int32_t pickListWidth = 112;

// Row height for the list font's point size.
int32_t rowHeightFor(int32_t points);

class pickListBox_t : public QComboBox {
public:
    pickListBox_t(listKind_t kind, settings::TParams& params, QWidget* parent = nullptr);

    listKind_t kind() const { return kind_; }
    // Clears and fills the entries from the settings; returns what the build
    // handed over (a custom record to select next).
    const builtList_t& rebuild();
    const builtList_t& built() const { return built_; }
    const customMap_t& mapping() const { return built_.mapping; }
    const pickEntry_t* entryAt(int32_t index) const;

    void setSampleColour(int32_t colour);
    const rowStyle_t& rowStyle() const { return style_; }

    // Highlights the entry (-1 or an index the list does not have: none).
    void selectIndex(int32_t index);
    int32_t index() const { return currentIndex(); }

    void selectColour(int32_t colour) { selectIndex(indexOfColour(params_, colour)); }
    int32_t colour() const { return colourAt(params_, index()); }
    void selectFill(int32_t fill) { selectIndex(indexOfFill(params_, fill)); }
    int32_t fill() const { return fillAt(params_, index()); }
    void selectWeight(double mm) { selectIndex(indexOfWeight(params_, mm, kind_ == listKind_t::frameWeight)); }
    double weight() const { return weightAt(params_, mapping(), index(), kind_ == listKind_t::frameWeight); }
    void selectDirection(double degrees) { selectIndex(indexOfDirection(params_, degrees, kind_ == listKind_t::textAngle)); }
    double direction() const { return directionAt(params_, mapping(), index(), kind_ == listKind_t::textAngle); }
    void selectSize(int32_t size) { selectIndex(indexOfSize(params_, size)); }
    int32_t size() const { return sizeAt(params_, mapping(), index()); }
    void selectShadow(const settings::shadowTriple_t& t) { selectIndex(indexOfShadow(params_, t.elevation, t.fade, t.lightness)); }
    settings::shadowTriple_t shadow(settings::shadowTriple_t current) const { return shadowAt(params_, mapping(), index(), current); }
    void selectSurface(int32_t surface) { selectIndex(indexOfSurface(surface)); }
    int32_t surface() const { return surfaceAt(index()); }

    // The width every entry needs to show its whole text.
    int32_t entriesWidth() const;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    listKind_t kind_;
    settings::TParams& params_;
    builtList_t built_;
    rowStyle_t style_;
};

// The "Customize..." entry of a colour or fill list: the colour dialog with
// the sixteen custom colours. Cancelled, the list returns to `previous` and
// nothing changes. Confirmed, a colour none of the sources holds is
// remembered, `value` becomes the colour, the list is rebuilt and selects it.
// Returns whether a colour was chosen.
bool chooseCustomColor(pickListBox_t& list, int32_t previous, int32_t& value, settings::TParams& params);

} // namespace panels
