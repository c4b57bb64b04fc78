// GifRecorder: 8-bit frames written as an animated, looping GIF through giflib.
//
// The first frame sets the picture's size and its palette becomes the file's
// global palette; a later frame with another palette carries it as a local one.
// After the first, a frame stores only the bounding rectangle of the pixels
// that changed (the frame before stays beneath it), and a frame that changes
// nothing lengthens the previous frame's delay instead of adding one. Delays
// are kept in milliseconds and rounded to the GIF's hundredths of a second on
// the running total, so a long recording neither drifts nor loses time.
//
//   GifRecorder gif("show.gif");
//   for (...) gif.AddFrame(stageDib, 40);
//   gif.Close();                         // the file is complete only now
//
// Every write failure throws RException naming the file and the reason, in
// AddFrame or at the latest in Close; after one, the recorder only repeats it.
// Without Close (an exception elsewhere) the destructor ends the file quietly
// after the frames already written; the last one added is left out.
#pragma once

#include <memory>
#include <string>

#include "imaging/Dib.h"

namespace quellmoor::media {

class GifRecorder {
public:
    // Creates (or empties) the file; throws RException when that fails.
    explicit GifRecorder(std::string path);
    ~GifRecorder();
    GifRecorder(const GifRecorder&) = delete;
    GifRecorder& operator=(const GifRecorder&) = delete;

    // The frame shows for delayMs (0 or more). Every frame has the first one's size.
    void AddFrame(const RDib& frame, int delayMs);
    // Writes the last frame and the file's end, and closes it.
    void Close();

    // GIF frames written to the file so far (the last added one is written later).
    int FramesWritten() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace quellmoor::media
