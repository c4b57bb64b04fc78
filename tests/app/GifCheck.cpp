// vexmon_gif_check FILE MIN [DIR EVERY]: decodes an animated GIF with giflib
// (DGifSlurp), composes its frames as a viewer does (each drawn over the one
// before) and succeeds when at least MIN composed frames are not blank (more
// than one colour) and all of those differ from the frame before. With DIR,
// every EVERY-th composed frame is written there as frame-NNNN.ppm, to look at.
#include <gif_lib.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <algorithm>
#include <vector>

namespace {

void WriteFrame(const std::string& path, const std::vector<GifByteType>& canvas, int width, int height,
                const ColorMapObject* map) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || !map) return;
    std::fprintf(file, "P6\n%d %d\n255\n", width, height);
    for (GifByteType index : canvas) {
        const GifColorType colour = index < map->ColorCount ? map->Colors[index] : GifColorType{0, 0, 0};
        std::fputc(colour.Red, file);
        std::fputc(colour.Green, file);
        std::fputc(colour.Blue, file);
    }
    std::fclose(file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 5) {
        std::fprintf(stderr, "usage: vexmon_gif_check FILE MIN [DIR EVERY]\n");
        return 2;
    }
    int error = 0;
    GifFileType* gif = DGifOpenFileName(argv[1], &error);
    if (!gif) {
        std::fprintf(stderr, "cannot open %s: %s\n", argv[1], GifErrorString(error));
        return 1;
    }
    if (DGifSlurp(gif) != GIF_OK) {
        std::fprintf(stderr, "cannot decode %s: %s\n", argv[1], GifErrorString(gif->Error));
        DGifCloseFile(gif, &error);
        return 1;
    }
    const int width = gif->SWidth, height = gif->SHeight;
    std::vector<GifByteType> canvas(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                                    static_cast<GifByteType>(gif->SBackGroundColor));
    std::vector<GifByteType> before;
    int shown = 0, blank = 0, repeated = 0;
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        const GifImageDesc& desc = image.ImageDesc;
        if (desc.Left < 0 || desc.Top < 0 || desc.Left + desc.Width > width || desc.Top + desc.Height > height) {
            std::fprintf(stderr, "frame %d lies outside the picture\n", i);
            DGifCloseFile(gif, &error);
            return 1;
        }
        for (int y = 0; y < desc.Height; ++y)
            for (int x = 0; x < desc.Width; ++x)
                canvas[static_cast<std::size_t>((desc.Top + y) * width + desc.Left + x)] =
                    image.RasterBits[y * desc.Width + x];
        if (argc == 5 && i % std::max(std::atoi(argv[4]), 1) == 0) {
            const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
            WriteFrame(std::string(argv[3]) + "/frame-" + std::to_string(10000 + i).substr(1) + ".ppm", canvas,
                       width, height, map);
        }
        const std::set<GifByteType> colours(canvas.begin(), canvas.end());
        if (colours.size() < 2) ++blank;
        else if (canvas == before) ++repeated;
        else ++shown;
        before = canvas;
    }
    std::printf("%s: %dx%d, %d frames, %d shown, %d blank, %d repeated\n", argv[1], width, height, gif->ImageCount,
                shown, blank, repeated);
    DGifCloseFile(gif, &error);
    return shown >= std::atoi(argv[2]) && blank == 0 ? 0 : 1;
}
