#pragma once
// The file and clipboard routines of the preview.

#include <QPicture>
#include <QString>
#include <optional>

namespace word {
class Clipboard;
}

// Lets pending window events run, then deletes the one file that `path` names, exactly: the
// name is never a pattern, whatever characters it holds. A file the plain delete cannot
// remove goes to ForceDeleteFile. Never fails.
void RemoveFile(const QString& path);

// Deletes a file even when it is read-only; a link is removed itself, never what it points
// to. Throws Failure when it cannot.
void ForceDeleteFile(const QString& path);

// The picture on the clipboard, trying up to 1000 times; nothing when no attempt succeeds.
std::optional<QPicture> GetClipboardPicture(word::Clipboard& clipboard, int format);

// Writes a picture to `path`, replacing what is there without following a link planted at
// that name. Throws Failure when it cannot.
void savePictureFile(const QPicture& picture, const QString& path);

// Reads a picture written by savePictureFile. Throws Failure when it cannot.
QPicture loadPictureFile(const QString& path);
