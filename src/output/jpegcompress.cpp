#include "output/jpegcompress.h"

#include "output/failure.h"

#include <csetjmp>
#include <cstdlib>

namespace output {

namespace {

struct jpegFailure_t {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void jpegErrorExit(j_common_ptr c)
{
    auto* f = reinterpret_cast<jpegFailure_t*>(c->err);
    (*c->err->format_message)(c, f->message);
    std::longjmp(f->jump, 1);
}

} // namespace

QByteArray compressJpeg(int32_t width, int32_t height, int32_t components, J_COLOR_SPACE space,
                        const std::function<const unsigned char*(int32_t y)>& row,
                        const std::function<void(jpeg_compress_struct&)>& settings, QString* error)
{
    jpeg_compress_struct c;
    jpegFailure_t failure;
    c.err = jpeg_std_error(&failure.mgr);
    failure.mgr.error_exit = jpegErrorExit;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    if (setjmp(failure.jump)) {
        jpeg_destroy_compress(&c);
        std::free(buffer);
        fail(error, QString::fromLocal8Bit(failure.message));
        return {};
    }
    jpeg_create_compress(&c);
    jpeg_mem_dest(&c, &buffer, &size);
    c.image_width = JDIMENSION(width);
    c.image_height = JDIMENSION(height);
    c.input_components = components;
    c.in_color_space = space;
    jpeg_set_defaults(&c);
    if (settings) settings(c);
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW r = const_cast<JSAMPROW>(row(int32_t(c.next_scanline)));
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    QByteArray out(reinterpret_cast<const char*>(buffer), qsizetype(size));
    std::free(buffer);
    return out;
}

} // namespace output
