// Picture files: JPEG (through libjpeg at the codec's default quality),
// 24-bit BMP and a one-image icon with a white-is-transparent mask for pages;
// GIF (through giflib, colours reduced to a palette by Qt) for a picture
// stored again in a document.
// Encoders build the whole file in memory; `writePicture` then replaces the
// target in one step, so a failure never leaves half a file behind.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace output {

enum class pictureKind_t { jpeg, bmp, icon };

// The kind a file name asks for by its extension (trimmed, any case):
// ".bmp" BMP, ".ico" icon, anything else JPEG.
pictureKind_t pictureKindOf(const QString& fileName);

// Empty (with `error` set) when the image cannot be encoded.
QByteArray encodeJpeg(const QImage& image, QString* error = nullptr);
QByteArray encodeBmp(const QImage& image, QString* error = nullptr);
QByteArray encodeIcon(const QImage& image, QString* error = nullptr);
QByteArray encodeGif(const QImage& image, QString* error = nullptr);

// Writes `bytes` to a temporary file beside `fileName` and renames it over
// the target; false with the reason in `error` when anything fails, the old
// file then left as it was.
bool writeFileReplacing(const QString& fileName, const QByteArray& bytes, QString* error);

// Encodes by the name's kind and writes; false with the reason in `error`.
bool writePicture(const QImage& image, const QString& fileName, QString* error);
// The icon file of a bitmap (the kind ".ico" selects).
bool writeIconFile(const QImage& image, const QString& fileName, QString* error);

} // namespace output
