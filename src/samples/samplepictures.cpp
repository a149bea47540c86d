#include "samples/samplepictures.h"

#include "model/item.h"
#include "output/encode.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace samples {

QImage samplePattern(int32_t width, int32_t height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int32_t y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int32_t x = 0; x < width; ++x) {
            const int v = width > 1 ? 64 + 160 * x / (width - 1) : 128;
            row[x] = qRgb(v, v, v);
        }
    }
    QPainter p(&image);
    p.setPen(Qt::NoPen);
    const int32_t hw = width / 2, hh = height / 2, m = std::max(1, width / 16);
    p.setBrush(QColor(220, 40, 40));
    p.drawRect(m, m, hw - 2 * m, hh - 2 * m);
    p.setBrush(QColor(40, 180, 60));
    p.drawRect(hw + m, m, width - hw - 2 * m, hh - 2 * m);
    p.setBrush(QColor(40, 70, 210));
    p.drawRect(m, hh + m, hw - 2 * m, height - hh - 2 * m);
    p.setBrush(QColor(240, 210, 40));
    p.drawRect(hw + m, hh + m, width - hw - 2 * m, height - hh - 2 * m);
    p.setBrush(QColor(30, 30, 30));
    p.drawRect(0, 0, width * 3 / 4, std::max(1, m / 2));
    return image;
}

namespace {

struct jpegErrorJump_t {
    jpeg_error_mgr mgr;
    std::jmp_buf back;
};

[[noreturn]] void failJpegWrite(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<jpegErrorJump_t*>(info->err)->back, 1);
}

bytes_t qtEncode(const QImage& image, const char* format)
{
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.write(image)) return {};
    return bytes_t(out.begin(), out.end());
}

} // namespace

bytes_t encodeJpeg(const QImage& source, int32_t quality)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    jpeg_compress_struct info{};
    jpegErrorJump_t err{};
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    info.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = failJpegWrite;
    bytes_t result;
    if (setjmp(err.back) == 0) {
        jpeg_create_compress(&info);
        jpeg_mem_dest(&info, &out, &outSize);
        info.image_width = JDIMENSION(image.width());
        info.image_height = JDIMENSION(image.height());
        info.input_components = 4;
        info.in_color_space = JCS_EXT_BGRX;
        jpeg_set_defaults(&info);
        jpeg_set_quality(&info, quality, TRUE);
        jpeg_start_compress(&info, TRUE);
        while (info.next_scanline < info.image_height) {
            JSAMPROW row = const_cast<uchar*>(image.constScanLine(int(info.next_scanline)));
            jpeg_write_scanlines(&info, &row, 1);
        }
        jpeg_finish_compress(&info);
        result.assign(out, out + outSize);
    }
    jpeg_destroy_compress(&info);
    std::free(out);
    return result;
}

bytes_t encodeGif(const QImage& image)
{
    const QByteArray b = output::encodeGif(image);
    return bytes_t(b.begin(), b.end());
}

bytes_t encodeBmp(const QImage& image) { return qtEncode(image.convertToFormat(QImage::Format_RGB888), "bmp"); }
bytes_t encodeIco(const QImage& image) { return qtEncode(image.convertToFormat(QImage::Format_ARGB32), "ico"); }

bytes_t encodePng(const QImage& image) { return qtEncode(image, "png"); }
bytes_t encodeTiff(const QImage& image) { return qtEncode(image, "tiff"); }

bytes_t encodeWebp(const QImage& image)
{
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "webp");
    writer.setQuality(100);
    if (!writer.write(image)) return {};
    return bytes_t(out.begin(), out.end());
}

QImage sampleTransparentPattern(int32_t width, int32_t height)
{
    QImage image = samplePattern(width, height).convertToFormat(QImage::Format_ARGB32);
    for (int32_t y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int32_t x = 0; x < width; ++x) {
            if (x >= width / 4 && x < width / 2 && y >= height / 4 && y < height * 3 / 4) row[x] &= 0x00FFFFFFu;
            else if (y >= height * 7 / 8) row[x] = (row[x] & 0x00FFFFFFu) | 0x80000000u;
        }
    }
    return image;
}

bytes_t sampleSvg(int32_t w, int32_t h)
{
    const int32_t hw = w / 2, hh = h / 2;
    const std::string svg =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(w) + "\" height=\"" + std::to_string(h) +
        "\" viewBox=\"0 0 " + std::to_string(w) + " " + std::to_string(h) + "\">\n"
        "  <rect x=\"0\" y=\"0\" width=\"" + std::to_string(hw) + "\" height=\"" + std::to_string(hh) + "\" fill=\"#dc2828\"/>\n"
        "  <rect x=\"" + std::to_string(hw) + "\" y=\"0\" width=\"" + std::to_string(w - hw) + "\" height=\"" + std::to_string(hh) + "\" fill=\"#28b43c\"/>\n"
        "  <rect x=\"0\" y=\"" + std::to_string(hh) + "\" width=\"" + std::to_string(hw) + "\" height=\"" + std::to_string(h - hh) + "\" fill=\"#2846d2\"/>\n"
        "  <circle cx=\"" + std::to_string(w * 3 / 4) + "\" cy=\"" + std::to_string(h * 3 / 4) + "\" r=\"" + std::to_string(std::min(w, h) / 5) + "\" fill=\"#f0d228\"/>\n"
        "</svg>\n";
    return bytes_t(svg.begin(), svg.end());
}

std::vector<sampleFile_t> transparentSampleFiles(int32_t width, int32_t height)
{
    const QImage pattern = sampleTransparentPattern(width, height);
    return {
        {"sample.png", model::picturePng, encodePng(pattern)},
        {"sample.svg", model::pictureSvg, sampleSvg(width, height)},
        {"sample.webp", model::pictureWebp, encodeWebp(pattern)},
        {"sample.tif", model::pictureTiff, encodeTiff(pattern)},
    };
}

std::vector<sampleFile_t> sampleFiles(int32_t width, int32_t height)
{
    const QImage pattern = samplePattern(width, height);
    const int32_t icon = std::min<int32_t>(std::max(width, height), 64);
    return {
        {"sample.jpg", model::pictureJpeg, encodeJpeg(pattern)},
        {"sample.gif", model::pictureGif, encodeGif(pattern)},
        {"sample.bmp", model::pictureBmp, encodeBmp(pattern)},
        {"sample.ico", model::pictureIco, encodeIco(samplePattern(icon, icon))},
        {"sample.wmf", model::pictureMetafile, sampleWmf(width, height)},
        {"sample.emf", model::pictureMetafile, sampleEmf(width, height)},
    };
}

} // namespace samples
