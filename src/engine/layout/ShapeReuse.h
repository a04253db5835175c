#pragma once
// Paragraph shapes kept from one document to the next. A batch makes the same bill again and
// again with other values: most of its paragraphs hold none, and their shapes from the last
// bill serve the next one as they are.

#include <memory>

namespace wordengine {

namespace layout {
class ShapeMemo;
}

class ShapeReuse {
public:
    ShapeReuse();
    ~ShapeReuse();
    ShapeReuse(const ShapeReuse&) = delete;
    ShapeReuse& operator=(const ShapeReuse&) = delete;

    // While one lives, a paragraph shaped on this thread takes a kept shape made from the
    // same runs, alignment, mark and width (the only inputs of a shape), and keeps the shapes
    // it makes that the font folder's faces set alone. Qt's font engines belong to the thread
    // that made them: every Scope of one ShapeReuse must be on the same thread.
    class Scope {
    public:
        explicit Scope(ShapeReuse& reuse);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        layout::ShapeMemo* outer_;
    };

private:
    std::unique_ptr<layout::ShapeMemo> memo_;
};

} // namespace wordengine
