// Pixel-level drawing on the program's 24-bit pictures: new pictures on the ground colour,
// blended pixels, smooth (anti-aliased) and plain lines, dotted lines, flood fill and the
// copying of symbol pictures.
#pragma once

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRgb>
#include <QStringList>

namespace quillo::draw {

// The ground colour of the program's pictures.
inline constexpr QRgb kGround = 0xFFC0DCC0;  // red 192, green 220, blue 192
inline constexpr QRgb kBlack = 0xFF000000;

// Pictures are never made larger than this on either side.
inline constexpr int kMaxPictureSide = 8192;

// A 24-bit picture filled with the colour, at 96 dots per inch so that point sizes of fonts
// come out as on the program's screen. A null picture when a side is not positive; sides over
// kMaxPictureSide are cut to it.
QImage NewPicture(int width, int height, QRgb fill = kGround);

// Sets each colour channel of the pixel to round(coverage x colour + (1 - coverage) x old),
// the coverage limited to 0..1. Pixels outside the picture are ignored.
void BlendPixel(QImage& picture, int x, int y, double coverage, QRgb colour);

// Reads one pixel (black outside the picture).
QRgb PixelAt(const QImage& picture, int x, int y);

// A one-pixel line from `from` up to but not including `to`, without anti-aliasing.
void PlainLine(QImage& picture, QPoint from, QPoint to, QRgb colour);

// An anti-aliased line. A horizontal or vertical line is a plain line (end point excluded).
// Otherwise the long axis is stepped one pixel at a time from the left (or upper) end point to
// the other, both included, the position on the short axis advancing by the gradient; at each
// step the two pixels on either side of that position are blended with the coverages
// 1 - fraction and fraction.
void SmoothLine(QImage& picture, QPoint from, QPoint to, QRgb colour);

// A dotted one-pixel line (three pixels on, three off) from `from` up to but not including `to`.
void DottedLine(QImage& picture, QPoint from, QPoint to, QRgb colour);

// Fills the four-connected area of pixels of the colour `surface` that contains (x, y) with
// `fill`; nothing when that pixel is outside or of another colour.
void FloodFill(QImage& picture, int x, int y, QRgb surface, QRgb fill);

// Copies a picture onto another at (x, y), keeping the darker of the two in each channel, so
// that a black-on-ground symbol leaves what lies under its ground untouched.
void DarkenCopy(QImage& target, const QImage& source, int x, int y);

// A font of the first of the families that is installed (the names the program asks for, then
// a DejaVu face), at the size in points.
QFont PictureFont(const QStringList& families, double pointSize);

// The families the pictures ask for: the program's proportional face and its fixed-pitch face,
// each followed by the DejaVu face used when it is not installed.
QStringList ProportionalFamilies();
QStringList FixedPitchFamilies();

// Windows-1252 text to a QString.
QString ToQString(std::string_view text);

}  // namespace quillo::draw
