#include "platform/DrawingCanvas.h"

#include "model/Exceptions.h"

namespace quellmoor::platform {

IndexedCanvas CheckDrawingCanvas(const IndexedCanvas& canvas) {
    if (canvas.width < 0 || canvas.height < 0 || canvas.strideBytes < canvas.width ||
        (!canvas.bits && canvas.width > 0 && canvas.height > 0))
        throw RParamException("The canvas given to the drawing context has no pixels or a row stride "
                              "smaller than its width.");
    IndexedCanvas checked = canvas;
    // A width or height of 0 with no pixels: nothing may be written through the null pointer.
    if (!checked.bits) checked.width = checked.height = 0;
    return checked;
}

std::string WithoutControlCharacters(std::string_view text) {
    std::string kept;
    kept.reserve(text.size());
    for (const char c : text)
        if (!IsControlCharacter(static_cast<unsigned char>(c))) kept += c;
    return kept;
}

}  // namespace quellmoor::platform
