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

// Throws Failure, naming the target and why, when a save may not replace what is there: a
// file the user may not write, or anything that is not a regular file (a folder, a FIFO, a
// device), also at the end of a link. What the one writer refuses, known before any work.
void refuseUnreplaceable(const QString& target);

// Writes the pages of the document at `documentPath` as a PDF at `target`, drawn as
// vantorel-bill --pdf draws them, whole or not at all. What refuseUnreplaceable refuses is
// refused before the pages are drawn, and left as it is; a link at the target is written
// through, as a saved copy is. Throws Failure, or word::Error for a document with more pages
// than the engine draws.
void savePdfFile(const QString& documentPath, const QString& target);

// True when the two names are one file: the same path, or one file under two names (a hard
// or symbolic link).
bool isSameFile(const QString& a, const QString& b);
