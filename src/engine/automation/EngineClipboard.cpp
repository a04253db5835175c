#include "EngineClipboard.h"

#include "EngineErrors.h"

namespace wordengine {

void EngineClipboard::setPicture(const QPicture& picture, const QString& text) {
    picture_ = picture;
    text_ = text;
}

QPicture EngineClipboard::GetData(int format) {
    if (format != 0 && format != 2 && format != 3 && format != 8 && format != 14)
        throw errors::valueOutOfRange();
    if (!picture_)
        throw word::Error(QStringLiteral("The clipboard does not hold a picture."));
    return *picture_;
}

} // namespace wordengine
