#include "picture/picture.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "io/output.h"

namespace {

// The pixels as PNG bytes; false with libpng's reason in `error`.
bool encode(const std::vector<Rgb>& pixels, int scale, std::vector<char>* png, std::string* error) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(PICTURE_COLUMNS * scale);
    image.height = static_cast<png_uint_32>(PICTURE_ROWS * scale);
    image.format = PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    if (png_image_write_get_memory_size(image, size, 0, pixels.data(), 0, nullptr) == 0) {
        *error = image.message;
        return false;
    }
    png->resize(size);
    if (png_image_write_to_memory(&image, png->data(), &size, 0, pixels.data(), 0, nullptr) == 0) {
        *error = image.message;
        return false;
    }
    png->resize(size);
    return true;
}

}  // namespace

std::string writeBoardsPicture(const char* path, int scale) {
    // Encoded in memory, so that a failure to write is the system's reason, not libpng's.
    std::vector<char> png;
    std::string error;
    if (!encode(drawBoardPixels(scale), scale, &png, &error)) {
        return std::string("cannot draw the picture for ") + path + ": " + error;
    }
    Output output;
    if (!openOutput(path, &output, &error)) {
        return error;
    }
    std::fwrite(png.data(), 1, png.size(), output.file);
    return commitOutput(&output, &error) ? "" : error;
}
