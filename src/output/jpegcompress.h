// One JPEG compression through libjpeg into memory, shared by the picture
// files and the tiles of a bitmap PDF: libjpeg reports a failure by a long
// jump, which this keeps in one place together with freeing what it made.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdio>
#include <functional>

#include <jpeglib.h>

namespace output {

// The JPEG data of `height` rows of `width` pixels, `components` samples each
// in `space`, row y read from `row(y)`; `settings` adjusts the compressor
// after its defaults (quality, density). Empty, with libjpeg's message in
// `error`, when libjpeg fails.
QByteArray compressJpeg(int32_t width, int32_t height, int32_t components, J_COLOR_SPACE space,
                        const std::function<const unsigned char*(int32_t y)>& row,
                        const std::function<void(jpeg_compress_struct&)>& settings, QString* error);

} // namespace output
