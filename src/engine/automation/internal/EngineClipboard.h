#pragma once
// The engine's own clipboard: Range::CopyAsPicture puts a picture here and the page renderer
// reads it back. It lives in this process only and never touches the desktop's clipboard, so
// the user's clipboard is left alone and nothing else can change the picture in between.

#include "Automation.h"

#include <optional>

namespace wordengine {

class EngineClipboard final : public word::Clipboard {
public:
    // A picture and the text it shows (see word::Clipboard::GetText).
    void setPicture(const QPicture& picture, const QString& text);
    bool hasPicture() const { return picture_.has_value(); }

    // Format 0 lets the clipboard pick; the picture formats of the Windows clipboard (bitmap 2,
    // metafile 3, device-independent bitmap 8, enhanced metafile 14) all answer the picture.
    QPicture GetData(int format) override;
    QString GetText() override { return text_; }

private:
    std::optional<QPicture> picture_;
    QString text_;
};

} // namespace wordengine
