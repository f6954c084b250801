#pragma once
// The one way a surface becomes a Qt image.
#include "base/result.hpp"
#include "surface/surface.hpp"

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QRect>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

// Copies the part r of the surface into the same place of img, which is made a surface-sized
// RGB32 image first when it is not one. False when there is no memory for the image.
bool copyToImage(const Surface& s, QImage& img, const QRect& r);

// A surface colour (red in the low byte) as Qt has it.
QColor toQColor(int32_t c);

// The whole surface as an RGB32 image; a null image when there is no memory for it.
QImage toImage(const Surface& s);

// Colours side by side as a menu item's icon.
QIcon swatchIcon(const std::vector<int32_t>& colours);

// A picture file is read no further than this.
constexpr size_t kPictureReadLimit = size_t{256} << 20;

// A picture file of any format Qt reads, as a surface; the error says why it could not be
// (not a regular file, cut short, not a picture). Never waits on a pipe or a device.
Result<Surface> readPictureFile(const std::string& file);
// The same from the bytes of a file; format is a hint (the file's extension), may be empty.
Result<Surface> readPictureData(std::string_view bytes, const std::string& format = {});

} // namespace vx
