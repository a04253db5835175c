#include "ShapeReuse.h"

#include "LayoutInternal.h"

#include <QHash>
#include <functional>
#include <string_view>
#include <unordered_map>

namespace wordengine {
namespace layout {

namespace {

// The runs Qt is given: an empty run adds nothing to a shape.
template <class Visit> void forEachShapedRun(const std::vector<Run>& runs, Visit visit) {
    for (const Run& run : runs)
        if (!run.text.isEmpty())
            visit(run);
}

// Every paragraph of every document is hashed here, text and all: the standard library's
// hash goes through a string several times faster than Qt's, and the key never leaves this
// thread's memo.
size_t textHash(const QString& text) {
    return std::hash<std::u16string_view>{}(std::u16string_view(
        reinterpret_cast<const char16_t*>(text.constData()), size_t(text.size())));
}

size_t inputsHash(const Paragraph& paragraph, double width) {
    size_t seed = qHashMulti(0, int(paragraph.alignment), width,
                             textHash(paragraph.markFormat.fontName), paragraph.markFormat.size,
                             paragraph.markFormat.bold, int(paragraph.markFormat.underline));
    forEachShapedRun(paragraph.runs, [&](const Run& run) {
        seed = qHashMulti(seed, textHash(run.text), textHash(run.format.fontName), run.format.size,
                          run.format.bold, int(run.format.underline));
    });
    return seed;
}

// Walked side by side, without a list made of either: every paragraph of every document is
// looked up here.
bool sameRuns(const std::vector<Run>& a, const std::vector<Run>& b) {
    auto left = a.begin();
    auto right = b.begin();
    for (;;) {
        while (left != a.end() && left->text.isEmpty())
            ++left;
        while (right != b.end() && right->text.isEmpty())
            ++right;
        if (left == a.end() || right == b.end())
            return left == a.end() && right == b.end();
        if (!(*left == *right))
            return false;
        ++left;
        ++right;
    }
}

bool madeFrom(const ParagraphShape& shape, const Paragraph& paragraph, double width) {
    return shape.width == width && shape.alignment == paragraph.alignment &&
           shape.markFormat == paragraph.markFormat && sameRuns(shape.runs, paragraph.runs);
}

// Only paragraphs up to this length are kept: a bill's longest is some five hundred
// characters, and a very long value is seldom met twice.
constexpr int kLongestKept = 4096;
// Characters held in each of the two generations: several bills' worth (a bill's own words
// are some two thousand), a megabyte or two of shapes on each thread.
constexpr qsizetype kGenerationCharacters = 16 * 1024;

thread_local ShapeMemo* current = nullptr;

} // namespace

// Two generations: what was used lately, and before that. A shape found in the older one
// moves to the newer; when the newer is full the older goes, so what a run of bills keeps
// using stays and the rest is let go without counting uses.
class ShapeMemo {
public:
    std::shared_ptr<const ParagraphShape> find(const Paragraph& paragraph, double width) {
        const size_t key = inputsHash(paragraph, width);
        if (auto shape = take(recent_, key, paragraph, width, false))
            return shape;
        if (auto shape = take(older_, key, paragraph, width, true)) {
            keep(key, shape);
            return shape;
        }
        return nullptr;
    }

    void keep(const Paragraph& paragraph, double width,
              const std::shared_ptr<const ParagraphShape>& shape) {
        if (!shape->cut && shape->ownFacesOnly && shape->textLength <= kLongestKept)
            keep(inputsHash(paragraph, width), shape);
    }

private:
    using Generation = std::unordered_multimap<size_t, std::shared_ptr<const ParagraphShape>>;

    static std::shared_ptr<const ParagraphShape> take(Generation& generation, size_t key,
                                                      const Paragraph& paragraph, double width,
                                                      bool remove) {
        const auto [first, last] = generation.equal_range(key);
        for (auto it = first; it != last; ++it) {
            if (madeFrom(*it->second, paragraph, width)) {
                std::shared_ptr<const ParagraphShape> shape = it->second;
                if (remove)
                    generation.erase(it);
                return shape;
            }
        }
        return nullptr;
    }

    void keep(size_t key, const std::shared_ptr<const ParagraphShape>& shape) {
        if (recentCharacters_ + shape->textLength > kGenerationCharacters) {
            older_ = std::move(recent_);
            recent_.clear();
            recentCharacters_ = 0;
        }
        recent_.emplace(key, shape);
        recentCharacters_ += shape->textLength;
    }

    Generation recent_;
    Generation older_;
    qsizetype recentCharacters_ = 0;
};

bool keepingShapes() {
    return current != nullptr;
}

std::shared_ptr<const ParagraphShape> reusedShape(const Paragraph& paragraph, double width) {
    return current ? current->find(paragraph, width) : nullptr;
}

void offerShape(const Paragraph& paragraph, double width,
                const std::shared_ptr<const ParagraphShape>& shape) {
    if (current)
        current->keep(paragraph, width, shape);
}

} // namespace layout

ShapeReuse::ShapeReuse() : memo_(std::make_unique<layout::ShapeMemo>()) {}

ShapeReuse::~ShapeReuse() = default;

ShapeReuse::Scope::Scope(ShapeReuse& reuse) : outer_(layout::current) {
    layout::current = reuse.memo_.get();
}

ShapeReuse::Scope::~Scope() {
    layout::current = outer_;
}

} // namespace wordengine
