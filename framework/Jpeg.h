#pragma once
// JPEG decoding over libjpeg-turbo. Any failure raises EImageError; the
// process never ends on a bad picture.
#include "framework/Exceptions.h"
#include <QByteArray>
#include <QImage>

// Largest picture accepted, so a hostile header cannot demand gigabytes.
constexpr int kJpegMaxSide = 20000;
constexpr long long kJpegMaxPixels = 100'000'000;

// Decodes JPEG bytes into an RGB32 image. Bytes that are not a JPEG (a PNG,
// an HTML error page), a corrupt or truncated file, or an absurd size raise
// EImageError.
QImage DecodeJpeg(const QByteArray& bytes);
