#include "platform/media/GifRecorder.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include "model/Exceptions.h"

namespace quellmoor::media {

namespace {

constexpr int kMaxSide = 65535;         // a GIF's sides are 16-bit
constexpr std::int64_t kMaxDelayCs = 65535;  // and so is a frame's delay

using Colours = std::array<GifColorType, 256>;

bool SameColours(const Colours& a, const Colours& b) {
    return std::equal(a.begin(), a.end(), b.begin(), [](const GifColorType& x, const GifColorType& y) {
        return x.Red == y.Red && x.Green == y.Green && x.Blue == y.Blue;
    });
}

Colours ColoursOf(const RDib& dib) {
    Colours colours{};
    const PaletteEntry* palette = dib.GetPaletteEntries();
    for (std::size_t i = 0; i < colours.size(); ++i)
        colours[i] = GifColorType{palette[i].red, palette[i].green, palette[i].blue};
    return colours;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

struct MapFreer {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

// Where giflib's bytes go: our own FILE, so that every short write is seen
// with its errno (giflib ignores the result of writing the file's last byte).
struct Sink {
    std::FILE* file = nullptr;
    int error = 0;
};

int WriteBytes(GifFileType* gif, const GifByteType* bytes, int length) {
    auto* sink = static_cast<Sink*>(gif->UserData);
    if (sink->error != 0) return 0;
    const std::size_t written = std::fwrite(bytes, 1, static_cast<std::size_t>(length), sink->file);
    if (written != static_cast<std::size_t>(length)) sink->error = errno != 0 ? errno : EIO;
    return static_cast<int>(written);
}

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
};

}  // namespace

struct GifRecorder::State {
    std::string path;
    std::unique_ptr<std::FILE, FileCloser> file;
    Sink sink;
    GifFileType* gif = nullptr;
    std::string failure;  // the first failure, repeated to every later call
    bool closed = false;

    int width = 0, height = 0;
    Colours global{};
    std::vector<std::uint8_t> canvas;  // top-down: the picture once the pending frame shows
    // The last frame added, written when the next one differs or at Close.
    std::optional<Rect> pending;
    Colours pendingColours{};
    std::int64_t elapsedMs = 0;   // end of the pending frame
    std::int64_t writtenCs = 0;   // end of the last frame written
    int framesWritten = 0;

    [[noreturn]] void Fail(const std::string& reason) {
        if (failure.empty()) failure = "Cannot write the GIF file " + path + ": " + reason + ".";
        throw RException(failure);
    }

    // A giflib call that failed: the system's reason when a write failed, else giflib's.
    [[noreturn]] void FailGif(int code) {
        if (sink.error != 0) Fail(std::generic_category().message(sink.error));
        const char* text = GifErrorString(code);
        Fail(text ? text : "giflib error " + std::to_string(code));
    }

    void Check(int result) {
        if (result == GIF_ERROR) FailGif(gif->Error);
        if (sink.error != 0) FailGif(0);
    }

    void Begin(const RDib& first) {
        width = first.GetWidth();
        height = first.GetHeight();
        if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide)
            Fail("a frame of " + std::to_string(width) + "x" + std::to_string(height) +
                 " pixels does not fit a GIF (1 to 65535 on each side)");
        global = ColoursOf(first);
        const std::unique_ptr<ColorMapObject, MapFreer> map(GifMakeMapObject(256, global.data()));
        if (!map) Fail("out of memory");
        EGifSetGifVersion(gif, true);
        Check(EGifPutScreenDesc(gif, width, height, 8, 0, map.get()));
        // The application extension that makes viewers loop for ever.
        static const char kLoopName[] = "NETSCAPE2.0";
        const GifByteType loopForever[3] = {1, 0, 0};
        Check(EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE));
        Check(EGifPutExtensionBlock(gif, 11, kLoopName));
        Check(EGifPutExtensionBlock(gif, 3, loopForever));
        Check(EGifPutExtensionTrailer(gif));
        canvas.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    }

    std::uint8_t* CanvasRow(int y) { return canvas.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width); }

    // The bounding rectangle of the pixels where frame differs from the canvas.
    std::optional<Rect> Changes(const RDib& frame) {
        int left = width, right = -1, top = -1, bottom = -1;
        const auto rowBytes = static_cast<std::size_t>(width);
        for (int y = 0; y < height; ++y) {
            const std::uint8_t* now = frame.GetPixelAddr(0, y);
            const std::uint8_t* before = CanvasRow(y);
            if (std::memcmp(now, before, rowBytes) == 0) continue;
            if (top < 0) top = y;
            bottom = y;
            int x = 0;
            while (now[x] == before[x]) ++x;
            left = std::min(left, x);
            x = width - 1;
            while (now[x] == before[x]) --x;
            right = std::max(right, x);
        }
        if (top < 0) return std::nullopt;
        return Rect{left, top, right - left + 1, bottom - top + 1};
    }

    void Take(const RDib& frame, const Rect& rect) {
        for (int y = rect.y; y < rect.y + rect.height; ++y)
            std::memcpy(CanvasRow(y), frame.GetPixelAddr(0, y), static_cast<std::size_t>(width));
    }

    void WriteImage(const Rect& rect, int delayCs) {
        GraphicsControlBlock control{};
        control.DisposalMode = DISPOSE_DO_NOT;  // each frame draws over the one before
        control.UserInputFlag = false;
        control.DelayTime = delayCs;
        control.TransparentColor = NO_TRANSPARENT_COLOR;
        GifByteType extension[4];
        const std::size_t length = EGifGCBToExtension(&control, extension);
        Check(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension));

        std::unique_ptr<ColorMapObject, MapFreer> local;
        if (!SameColours(pendingColours, global)) {
            local.reset(GifMakeMapObject(256, pendingColours.data()));
            if (!local) Fail("out of memory");
        } else if (gif->Image.ColorMap) {
            // giflib 5.2 forgets the previous frame's local map without freeing
            // it when the next frame has none (found by LeakSanitizer).
            GifFreeMapObject(gif->Image.ColorMap);
            gif->Image.ColorMap = nullptr;
        }
        Check(EGifPutImageDesc(gif, rect.x, rect.y, rect.width, rect.height, false, local.get()));
        for (int y = rect.y; y < rect.y + rect.height; ++y) Check(EGifPutLine(gif, CanvasRow(y) + rect.x, rect.width));
        ++framesWritten;
    }

    void WritePending() {
        if (!pending) return;
        // Rounded on the running total, so the file's length is the recording's.
        std::int64_t remaining = (elapsedMs + 5) / 10 - writtenCs;
        writtenCs += remaining;
        // Beyond the longest delay a GIF can say, one unchanged pixel carries the rest.
        Rect rect = *pending;
        do {
            const std::int64_t delay = std::min(remaining, kMaxDelayCs);
            WriteImage(rect, static_cast<int>(delay));
            remaining -= delay;
            rect = Rect{0, 0, 1, 1};
        } while (remaining > 0);
        pending.reset();
    }
};

GifRecorder::GifRecorder(std::string path) : state_(std::make_unique<State>()) {
    State& s = *state_;
    s.path = std::move(path);
    s.file.reset(std::fopen(s.path.c_str(), "wb"));
    if (!s.file)
        throw RException("Cannot create the GIF file " + s.path + ": " + std::generic_category().message(errno) + ".");
    s.sink.file = s.file.get();
    int error = 0;
    s.gif = EGifOpen(&s.sink, WriteBytes, &error);
    if (!s.gif) {
        const char* text = GifErrorString(error);
        throw RException("Cannot create the GIF file " + s.path + ": " + (text ? text : "giflib failed") + ".");
    }
}

GifRecorder::~GifRecorder() {
    if (state_->gif) EGifCloseFile(state_->gif, nullptr);  // writes the end; failures have no one to go to
}

void GifRecorder::AddFrame(const RDib& frame, int delayMs) {
    State& s = *state_;
    if (!s.failure.empty()) throw RException(s.failure);
    if (s.closed) throw RException("Cannot add a frame to the GIF file " + s.path + ": it is closed.");
    if (delayMs < 0) throw RParamException("A frame's delay cannot be negative (" + std::to_string(delayMs) + " ms).");

    if (s.canvas.empty()) {
        s.Begin(frame);
        s.Take(frame, Rect{0, 0, s.width, s.height});
        s.pending = Rect{0, 0, s.width, s.height};
        s.pendingColours = s.global;
        s.elapsedMs = delayMs;
        return;
    }
    if (frame.GetWidth() != s.width || frame.GetHeight() != s.height)
        throw RParamException("A frame of " + std::to_string(frame.GetWidth()) + "x" +
                              std::to_string(frame.GetHeight()) + " pixels cannot join a GIF of " +
                              std::to_string(s.width) + "x" + std::to_string(s.height) + ".");
    const Colours colours = ColoursOf(frame);
    std::optional<Rect> changed;
    if (SameColours(colours, s.pendingColours)) {
        changed = s.Changes(frame);
        if (!changed) {
            s.elapsedMs += delayMs;
            return;
        }
    } else {
        changed = Rect{0, 0, s.width, s.height};  // the same indices may show other colours now
    }
    s.WritePending();
    s.Take(frame, *changed);
    s.pending = changed;
    s.pendingColours = colours;
    s.elapsedMs += delayMs;
}

void GifRecorder::Close() {
    State& s = *state_;
    if (!s.failure.empty()) throw RException(s.failure);
    if (s.closed) return;
    if (s.canvas.empty()) s.Fail("no frame was recorded");
    s.WritePending();
    GifFileType* gif = std::exchange(s.gif, nullptr);
    int error = 0;
    if (EGifCloseFile(gif, &error) == GIF_ERROR || s.sink.error != 0) s.FailGif(error);
    std::FILE* file = s.file.release();
    const bool flushed = std::fflush(file) == 0;
    const int flushError = errno;
    const bool closedWell = std::fclose(file) == 0;
    if (!flushed) s.Fail(std::generic_category().message(flushError));
    if (!closedWell) s.Fail(std::generic_category().message(errno));
    s.closed = true;
}

int GifRecorder::FramesWritten() const { return state_->framesWritten; }

}  // namespace quellmoor::media
