#pragma once
// JPEG decoding for the pictures that the guide and settings windows show.
// libjpeg does the work; this layer turns its failures into exceptions.

#include <QByteArray>
#include <QImage>
#include <QString>

// Largest picture accepted, per side and in total. The tool's own pictures are
// about one megapixel; the limits keep a hostile header from making the
// decoder allocate gigabytes before a single scan line is read.
inline constexpr int kMaxJpegSide = 16384;
inline constexpr long long kMaxJpegPixels = 1LL << 26; // 64 megapixels

// Decodes a complete JPEG file held in memory into an image of format
// QImage::Format_RGB32. Grayscale, YCbCr/RGB and CMYK/YCCK files are accepted.
// A corrupt, truncated or oversized file raises EReadError with a message
// beginning "JPEG error: "; nothing is written to the console.
QImage DecodeJpeg(const QByteArray& data);

// Reads a JPEG picture from a Qt resource (":/pictures/guide.jpg") or a file
// and decodes it. A missing or unreadable file raises EResNotFound.
QImage LoadJpegResource(const QString& path);
