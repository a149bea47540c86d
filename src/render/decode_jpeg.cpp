// JPEG through libjpeg-turbo, straight into the rows of an RGB32 image.
#include "render/decode.h"

#include <csetjmp>
#include <cstdio>
#include <vector>
#include <algorithm>

#include <jpeglib.h>
#include <jerror.h>

namespace render {

namespace {

// libjpeg reports errors by calling error_exit, which must not return: it
// jumps back to the decoder. Everything that owns memory lives in this
// record, made before the jump point, so the jump skips no destructor.
struct jpegJob_t {
    jpeg_decompress_struct info{};
    jpeg_error_mgr err{};
    std::jmp_buf back;
    bool created = false;
    QImage image;
    std::vector<uint8_t> cmykRow;
};

[[noreturn]] void failJpeg(j_common_ptr info)
{
    auto* job = reinterpret_cast<jpegJob_t*>(info->client_data);
    std::longjmp(job->back, 1);
}

// Warnings go nowhere, except that data ending early is a failure: the
// library would fill the missing rows with grey and call it a success.
void noteJpegMessage(j_common_ptr info, int level)
{
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) failJpeg(info);
}

// Adobe writes CMYK JPEGs inverted; the ink amounts multiply.
void cmykRowToRgb32(const uint8_t* in, uint32_t* out, int32_t width)
{
    for (int32_t x = 0; x < width; ++x, in += 4) {
        const uint32_t k = in[3];
        const uint32_t r = in[0] * k / 255, g = in[1] * k / 255, b = in[2] * k / 255;
        out[x] = 0xFF000000u | (r << 16) | (g << 8) | b;
    }
}

bool startJpeg(jpegJob_t& job, const uint8_t* data, size_t size)
{
    job.info.err = jpeg_std_error(&job.err);
    job.err.error_exit = failJpeg;
    job.err.emit_message = noteJpegMessage;
    job.info.client_data = &job;
    jpeg_create_decompress(&job.info);
    job.created = true;
    jpeg_mem_src(&job.info, data, static_cast<unsigned long>(size));
    return jpeg_read_header(&job.info, TRUE) == JPEG_HEADER_OK;
}

bool decodeInto(jpegJob_t& job, const uint8_t* data, size_t size, int32_t scaleDenom)
{
    if (!startJpeg(job, data, size)) return false;
    // The full picture must be a sane size even when a scaled form is asked for.
    if (!acceptablePictureSize(job.info.image_width, job.info.image_height)) return false;
    job.info.scale_num = 1;
    job.info.scale_denom = static_cast<unsigned>(scaleDenom);
    const bool cmyk = job.info.jpeg_color_space == JCS_CMYK || job.info.jpeg_color_space == JCS_YCCK;
    job.info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;
    jpeg_calc_output_dimensions(&job.info);
    const int64_t w = job.info.output_width, h = job.info.output_height;
    if (!acceptablePictureSize(w, h)) return false;
    job.image = QImage(int(w), int(h), QImage::Format_RGB32);
    if (job.image.isNull()) return false;
    if (cmyk) job.cmykRow.resize(size_t(w) * 4);
    jpeg_start_decompress(&job.info);
    while (job.info.output_scanline < job.info.output_height) {
        const int32_t y = int32_t(job.info.output_scanline);
        JSAMPROW row = cmyk ? job.cmykRow.data() : job.image.scanLine(y);
        if (jpeg_read_scanlines(&job.info, &row, 1) != 1) return false;
        if (cmyk) cmykRowToRgb32(job.cmykRow.data(), reinterpret_cast<uint32_t*>(job.image.scanLine(y)), int32_t(w));
    }
    jpeg_finish_decompress(&job.info);
    return true;
}

} // namespace

QImage decodeJpeg(const uint8_t* data, size_t size, int32_t scaleDenom)
{
    if (!data || size == 0) return {};
    if (scaleDenom != 1 && scaleDenom != 2 && scaleDenom != 4 && scaleDenom != 8) return {};
    jpegJob_t job;
    volatile bool ok = false;
    if (setjmp(job.back) == 0) ok = decodeInto(job, data, size, scaleDenom);
    if (job.created) jpeg_destroy_decompress(&job.info);
    if (!ok) return {};
    return std::move(job.image);
}

bool jpegSize(const uint8_t* data, size_t size, int32_t& width, int32_t& height)
{
    if (!data || size == 0) return false;
    jpegJob_t job;
    volatile bool ok = false;
    if (setjmp(job.back) == 0 && startJpeg(job, data, size)) {
        width = int32_t(std::min<JDIMENSION>(job.info.image_width, INT32_MAX));
        height = int32_t(std::min<JDIMENSION>(job.info.image_height, INT32_MAX));
        ok = true;
    }
    if (job.created) jpeg_destroy_decompress(&job.info);
    return ok;
}

} // namespace render
