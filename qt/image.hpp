#pragma once
// The one way a surface becomes a Qt image.
#include "surface/surface.hpp"

#include <QImage>
#include <QRect>

namespace vx {

// Copies the part r of the surface into the same place of img, which is made a surface-sized
// RGB32 image first when it is not one. False when there is no memory for the image.
bool copyToImage(const Surface& s, QImage& img, const QRect& r);

// The whole surface as an RGB32 image; a null image when there is no memory for it.
QImage toImage(const Surface& s);

} // namespace vx
