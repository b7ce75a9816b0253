// png_equal A.png B.png: exits 0 when both pictures have the same size and
// the same RGB in every pixel, 1 (saying how many differ) when not, 2 when
// either cannot be read. Portable, so the Windows build checks its own
// pictures under Wine without ImageMagick.
#include <cstdio>
#include <memory>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb_image.h>

namespace {

struct Image {
    int width = 0;
    int height = 0;
    std::unique_ptr<unsigned char, decltype(&stbi_image_free)> rgb{nullptr, &stbi_image_free};
};

bool Load(const char* path, Image& image)
{
    int channels = 0;
    image.rgb.reset(stbi_load(path, &image.width, &image.height, &channels, 3));
    if (!image.rgb) {
        std::fprintf(stderr, "png_equal: cannot read %s\n", path);
    }
    return image.rgb != nullptr;
}

}  // namespace

int main(int argc, char** argv)
{
    Image a;
    Image b;
    if (argc != 3 || !Load(argv[1], a) || !Load(argv[2], b)) {
        return 2;
    }
    if (a.width != b.width || a.height != b.height) {
        std::printf("sizes differ: %d x %d against %d x %d\n", a.width, a.height, b.width, b.height);
        return 1;
    }
    long differ = 0;
    const long pixels = static_cast<long>(a.width) * a.height;
    for (long i = 0; i < pixels; ++i) {
        const unsigned char* p = a.rgb.get() + 3 * i;
        const unsigned char* q = b.rgb.get() + 3 * i;
        differ += (p[0] != q[0] || p[1] != q[1] || p[2] != q[2]) ? 1 : 0;
    }
    std::printf("%ld of %ld pixels differ\n", differ, pixels);
    return differ == 0 ? 0 : 1;
}
