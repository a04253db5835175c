#pragma once
// What the engine takes on, and no more. Each bound is far past anything the bill of sale or
// an ordinary document needs, and keeps a hostile or damaged file to seconds and well under a
// gigabyte; past one, the engine says which bound was met.

#include <QtGlobal>

namespace wordengine::limits {

// Pages laid out for a whole document. A page taller than its paper's text area (a huge
// font on a tiny page) takes a page per line, so a small file can ask for very many.
inline constexpr int kMaxPages = 10'000;

// Distinct font names in one document: each new name costs a font lookup and its metrics.
inline constexpr int kMaxFonts = 256;

// Pixels in one page picture (about 512 MB at 4 bytes each): room for a Letter page at
// 1000 dpi.
inline constexpr qint64 kMaxPicturePixels = 128'000'000;

} // namespace wordengine::limits
