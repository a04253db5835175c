#pragma once
// What the engine takes on, and no more. Each bound is far past anything the bill of sale or
// an ordinary document needs, and keeps a hostile or damaged file to seconds and well under a
// gigabyte; past one, the engine says which bound was met.

#include <QLatin1StringView>
#include <QtGlobal>

namespace wordengine::limits {

// Pages laid out for a whole document. A page taller than its paper's text area (a huge
// font on a tiny page) takes a page per line, so a small file can ask for very many.
inline constexpr int kMaxPages = 10'000;

// Pages a document read from a file may make for each byte of the file, up to kMaxPages: a
// page costs its layout, its drawing and its picture however little made it, and a huge font
// or a page break makes one of a character that the file's compression turns into next to
// nothing. The smallest bill of sale takes some five kilobytes, and a value of page breaks
// adds almost none, so two a byte keeps every bill the program makes whole.
inline constexpr int kPagesPerFileByte = 2;

// Lines laid out for a whole document, some two hundred a page. A line costs the layout a
// hundred bytes or so, and a huge font or a run of line breaks makes a line of every
// character.
inline constexpr int kMaxLines = 2'000'000;

// Characters (UTF-16 code units) of text in a whole document, and so in any one paragraph or
// run of it. Qt's shaping fails on a paragraph several times longer, and the layout of text
// costs a few dozen bytes a character for plain text, so this keeps such a document under a
// gigabyte of memory. It holds the longest value an entry box takes with the rest of a bill;
// values that together pass it fail where they are typed, with a message that says so.
inline constexpr qint64 kMaxDocumentCharacters = qint64(1) << 24;

// Distinct font names in one document: each new name costs a font lookup and its metrics.
inline constexpr int kMaxFonts = 256;

// Pixels in one page picture (about 512 MB at 4 bytes each): room for a Letter page at
// 1000 dpi.
inline constexpr qint64 kMaxPicturePixels = 128'000'000;

// Word's own bounds. The automation interface refuses a value past them with Word's error;
// a package read is held to them, so that every document in the model is one Word could hold.

// Rows and columns of one table (Tables.Add; a wider table read from a file is refused).
inline constexpr int kMaxRows = 32'767;
inline constexpr int kMaxColumns = 63;

// A page's width and height: 0.1 inch to 22 inches, in points. The 22 inches also bound every
// margin, distance and row height.
inline constexpr double kMinPageLength = 0.1 * 72.0;
inline constexpr double kMaxPageLength = 22 * 72.0;

// A font size in points (Word keeps it in half points).
inline constexpr double kMinFontSize = 1.0;
inline constexpr double kMaxFontSize = 1638.0;

} // namespace wordengine::limits

namespace wordengine::tablestyles {

// Word's built-in grid style, by name (what the automation interface and the model hold) and
// by style id (what a package's styles part and tables refer to). It draws single 0.5 pt
// borders; the model's empty style draws none.
inline constexpr QLatin1StringView kGridName{"Table Grid"};
inline constexpr QLatin1StringView kGridId{"TableGrid"};
// The names Word gives its plain table style, which the model holds as no style.
inline constexpr QLatin1StringView kPlainName{"Table Normal"};
inline constexpr QLatin1StringView kPlainDisplayName{"Normal Table"};

} // namespace wordengine::tablestyles
