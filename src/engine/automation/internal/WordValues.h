#pragma once
// Where the automation interface takes Word's numbers for the model's named values: each
// number becomes a name here, once, and a name goes back out as Word's number. The setters
// accept only the values the engine can lay out and write; anything else is out of range.

#include "Model.h"

#include <array>
#include <optional>

namespace wordengine {

template <typename Value> constexpr int wordNumber(Value value) {
    return static_cast<int>(value);
}

// The value among `accepted` whose Word number is `number`, if there is one.
template <typename Value, std::size_t N>
constexpr std::optional<Value> fromWordNumber(int number, const std::array<Value, N>& accepted) {
    for (const Value value : accepted)
        if (wordNumber(value) == number)
            return value;
    return std::nullopt;
}

// What the program may set through the interface. A document read from a file may hold
// other underlines; the interface reads them back as their numbers.
inline constexpr std::array settableUnderlines{Underline::None, Underline::Single};
inline constexpr std::array settableParagraphAlignments{
    ParagraphAlignment::Left, ParagraphAlignment::Center, ParagraphAlignment::Right,
    ParagraphAlignment::Justify};
inline constexpr std::array settableCellAlignments{
    CellVerticalAlignment::Top, CellVerticalAlignment::Center, CellVerticalAlignment::Bottom};
inline constexpr std::array settableRowHeightRules{RowHeightRule::Auto, RowHeightRule::AtLeast,
                                                   RowHeightRule::Exactly};
inline constexpr std::array settableOrientations{PageOrientation::Portrait,
                                                 PageOrientation::Landscape};
inline constexpr std::array settableSectionStarts{SectionStart::Continuous, SectionStart::NewColumn,
                                                  SectionStart::NewPage, SectionStart::EvenPage,
                                                  SectionStart::OddPage};
inline constexpr std::array settablePageAlignments{
    PageVerticalAlignment::Top, PageVerticalAlignment::Center, PageVerticalAlignment::Justify,
    PageVerticalAlignment::Bottom};
inline constexpr std::array settableGutterPositions{GutterPosition::Left, GutterPosition::Top,
                                                    GutterPosition::Right};

} // namespace wordengine
