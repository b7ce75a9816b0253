#include "frontends/recording/TracePicture.h"

#include <cstddef>
#include <vector>

#include <stb_image_write.h>

namespace vantrel {

bool SavePng(const Picture& picture, const std::string& path)
{
    const auto count = static_cast<std::size_t>(picture.Width()) * static_cast<std::size_t>(picture.Height());
    std::vector<unsigned char> rgb(count * 3);
    const Pixel* pixels = picture.Pixels();
    for (std::size_t i = 0; i < count; ++i) {
        rgb[3 * i] = static_cast<unsigned char>(pixels[i] >> 16U);
        rgb[3 * i + 1] = static_cast<unsigned char>(pixels[i] >> 8U);
        rgb[3 * i + 2] = static_cast<unsigned char>(pixels[i]);
    }
    return stbi_write_png(path.c_str(), picture.Width(), picture.Height(), 3, rgb.data(), picture.Width() * 3) != 0;
}

}  // namespace vantrel
