// What the tool panels tell the user at each step of a tool, and which
// guidance pages follow the steps.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

namespace canvas {

// The word a tool's texts use for it ("triangle", "spline", ...); empty for
// codes that are not insertion tools.
QString toolName(int32_t code);

// Up to four lines of guidance of the tool `code` (1 line, 100..199 shapes)
// while `clickCount` points are placed. Empty for other codes.
QStringList toolGuidance(int32_t code, int32_t clickCount);
// The status-line hint while a spline, solid, curve or oblong takes its
// points: the ways to end it; empty for the other tools.
QString finishHint(int32_t code, bool canClose);

// The guidance page shown when the tool created its item, and the page shown
// after each turning point of the spline tools (0 when there is none).
int32_t creationPage(int32_t code);
int32_t afterPointPage(int32_t code);

// The item type a tool creates (0 for codes that create nothing).
int32_t toolItemType(int32_t code);

} // namespace canvas
