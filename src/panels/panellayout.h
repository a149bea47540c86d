// The layout of the side panels' bodies, in pixels: the measures every panel
// shares first, then those of one panel or control.
#pragma once

#include <cstdint>

namespace panels::layout {

constexpr int32_t margin = 4;       // around and between a panel's parts
constexpr int32_t buttonsLeft = 2;  // the row of buttons at the top of a body
constexpr int32_t buttonsTop = 4;
constexpr int32_t buttonSize = 24;  // a square panel button
constexpr int32_t buttonGap = 2;
constexpr int32_t tabStripHeight = 20;
constexpr int32_t listHeight = 22;  // a closed pick list
constexpr int32_t hintGap = 8;      // above the hints below the lists

// The line and shape panels: a caption above each list.
namespace lineShape {
constexpr int32_t labelHeight = 14;
constexpr int32_t listPitch = 42;
} // namespace lineShape

// The text panel: two rows of style buttons below the tabs, then the lists.
namespace text {
constexpr int32_t buttonRowY = tabStripHeight + 4;
constexpr int32_t buttonPitch = 24;
constexpr int32_t firstListY = buttonRowY + 2 * buttonPitch + 2;
constexpr int32_t labelHeight = 14;
constexpr int32_t rowPitch = labelHeight + listHeight + 3;
} // namespace text

// The panel of a mixed selection.
namespace mixed {
constexpr int32_t firstLabelY = 42;
constexpr int32_t labelHeight = 16;
constexpr int32_t rowPitch = 44;
} // namespace mixed

// The picture panel: its tabs and the area of the tab's controls.
namespace picture {
constexpr int32_t tabsTop = 30;
constexpr int32_t areaTop = 50;
constexpr int32_t areaInset = 4;
constexpr int32_t hintGap = 4;
} // namespace picture

// The three adjustment sliders, each below its caption.
namespace sliders {
constexpr int32_t textHeight = 15;
constexpr int32_t sliderHeight = 24;
constexpr int32_t rowGap = 4;
} // namespace sliders

// The rows of an open pick list.
namespace pickList {
constexpr int32_t sampleLeft = 3;
constexpr int32_t swatchWidth = 18;
constexpr int32_t textGap = 8;
constexpr int32_t barRight = 18;
constexpr int32_t dashSampleWidth = 24;
constexpr int32_t shadowTextLeft = 29;
constexpr int32_t shadowSampleWidth = 22;
} // namespace pickList

} // namespace panels::layout
