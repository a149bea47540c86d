// What the line, shape and text tools give a new item, one value per tool,
// so that remembering a tool's settings and putting them back is one copy.
// The member names are the stored settings' names.
#pragma once

#include <QString>

#include <array>
#include <cstdint>

namespace settings {

struct lineStyle_t {
    int32_t lineColor = 0;
    double lineWidth = 0.0;
    int32_t linePattern = 0;
    int32_t lineFill = -2;
    double lineDirection = -1.0;
    double lineOutline = 0.0;
    friend bool operator==(const lineStyle_t&, const lineStyle_t&) = default;
};

struct shapeStyle_t {
    int32_t polycolor = 0;
    int32_t polyfill = -1;
    double polywidth = 0.0;
    int32_t polysides = 5;
    double roundness = 0.27614237;
    friend bool operator==(const shapeStyle_t&, const shapeStyle_t&) = default;
};

struct textStyle_t {
    int32_t tcolor = 0;
    QString tfont = QStringLiteral("Arial");  // at most 32 characters are used
    int32_t tcharset = 0;
    int32_t tsize = 12;
    int32_t tbold = 400;
    std::array<uint8_t, 4> toptions{0, 0, 0, 1};  // italic, underline, strikeout, justification
    int32_t tdir = -1;
    friend bool operator==(const textStyle_t&, const textStyle_t&) = default;
};

} // namespace settings
