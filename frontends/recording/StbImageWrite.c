/* The PNG writer, a header-only C library, compiled once as C. */
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>
