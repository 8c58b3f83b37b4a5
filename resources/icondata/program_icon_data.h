#pragma once

namespace lumo::resources::detail {

/// One image of the program icon: premultiplied ARGB, one 32-bit word per pixel in the machine's
/// byte order (QImage::Format_ARGB32_Premultiplied), rows of width * 4 bytes.
struct IconImage {
    int width;
    int height;
    const unsigned char *pixels;
};

/// The images of the program icon, smallest first, decoded from its PNG files when building.
extern const IconImage kProgramIconImages[];
extern const int kProgramIconImageCount;

} // namespace lumo::resources::detail
