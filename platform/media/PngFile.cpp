#include "platform/media/PngFile.h"

#include <png.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "model/Exceptions.h"

namespace quellmoor::media {

namespace {

std::string Reason(int error) { return std::generic_category().message(error); }

}  // namespace

void SavePngFile(const RDib& dib, const std::string& path) {
    std::array<png_byte, 3 * 256> colourMap{};
    const PaletteEntry* palette = dib.GetPaletteEntries();
    for (std::size_t i = 0; i < 256; ++i) {
        colourMap[3 * i] = palette[i].red;
        colourMap[3 * i + 1] = palette[i].green;
        colourMap[3 * i + 2] = palette[i].blue;
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(dib.GetWidth());
    image.height = static_cast<png_uint_32>(dib.GetHeight());
    image.format = PNG_FORMAT_RGB_COLORMAP;
    image.colormap_entries = 256;

    // Our own FILE rather than libpng's file writer: that one removes the
    // file it failed to write, whatever the file is.
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) throw RException("Cannot create the PNG file " + path + ": " + Reason(errno) + ".");
    // The bitmap's rows are bottom-up: a negative stride says so.
    const int written = png_image_write_to_stdio(&image, file, 0, dib.GetBits(),
                                                 -static_cast<png_int_32>(dib.GetStride()), colourMap.data());
    const int writeError = errno;
    const bool streamFailed = std::ferror(file) != 0;
    const bool flushed = written && std::fflush(file) == 0;
    const int flushError = errno;
    const bool closed = std::fclose(file) == 0;
    const int closeError = errno;
    if (!written)
        throw RException("Cannot write the PNG file " + path + ": " +
                         (streamFailed ? Reason(writeError) : std::string(image.message)) + ".");
    if (!flushed) throw RException("Cannot write the PNG file " + path + ": " + Reason(flushError) + ".");
    if (!closed) throw RException("Cannot write the PNG file " + path + ": " + Reason(closeError) + ".");
}

}  // namespace quellmoor::media
