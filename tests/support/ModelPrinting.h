#pragma once
// Readable failures for the model's named values: without these, a failed EXPECT_EQ on one
// shows its raw bytes.

#include "Model.h"

#include <ostream>

namespace wordengine {

inline void PrintTo(ParagraphAlignment value, std::ostream* os) {
    static const char* const names[] = {"Left", "Center", "Right", "Justify"};
    const int n = int(value);
    *os << "ParagraphAlignment::" << (n >= 0 && n < 4 ? names[n] : "?") << " (" << n << ")";
}

inline void PrintTo(CellVerticalAlignment value, std::ostream* os) {
    const int n = int(value);
    *os << "CellVerticalAlignment::"
        << (n == 0   ? "Top"
            : n == 1 ? "Center"
            : n == 3 ? "Bottom"
                     : "?")
        << " (" << n << ")";
}

inline void PrintTo(RowHeightRule value, std::ostream* os) {
    static const char* const names[] = {"Auto", "AtLeast", "Exactly"};
    const int n = int(value);
    *os << "RowHeightRule::" << (n >= 0 && n < 3 ? names[n] : "?") << " (" << n << ")";
}

inline void PrintTo(Underline value, std::ostream* os) {
    const int n = int(value);
    *os << "Underline::"
        << (value == Underline::None     ? "None"
            : value == Underline::Single ? "Single"
                                         : "other")
        << " (" << n << ")";
}

// The page setup's values: their numbers suffice.
inline void PrintTo(PageOrientation value, std::ostream* os) {
    *os << "PageOrientation(" << int(value) << ")";
}
inline void PrintTo(SectionStart value, std::ostream* os) {
    *os << "SectionStart(" << int(value) << ")";
}
inline void PrintTo(PageVerticalAlignment value, std::ostream* os) {
    *os << "PageVerticalAlignment(" << int(value) << ")";
}
inline void PrintTo(GutterPosition value, std::ostream* os) {
    *os << "GutterPosition(" << int(value) << ")";
}

} // namespace wordengine
