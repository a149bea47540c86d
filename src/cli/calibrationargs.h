// Reading the calibration commands' arguments: a paper "WxH", a measured mark
// "NAME=X,Y" and a correction "DX,DY,SX,SY[,DEG]", all in millimetres.
#pragma once

#include "output/calibration.h"

#include <string>

namespace cli {

// False (with a sentence in `why`) for anything but two numbers of 20 … 5000 mm.
bool parsePaperSize(const std::string& text, QSizeF& paperMm, std::string& why);
// False (with `why`) unless the text is NAME=X,Y with two finite numbers.
bool parseMeasuredMark(const std::string& text, output::calibrationMark_t& mark, std::string& why);
// False (with `why`) unless four or five finite numbers make a plausible distortion.
bool parseDistortion(const std::string& text, output::printerDistortion_t& d, std::string& why);

} // namespace cli
