#pragma once
// The rules of a recorded page picture (its table borders: solid, square-ended lines along
// the axes), drawn on whole device pixels, as PDF viewers draw thin lines. Drawn where they
// fall, the rules of a scaled picture are sharp where a rule meets a pixel's edge and a
// blurred grey pair of pixels elsewhere. Here each rule is as many device pixels wide as its
// width rounds to at the painter's scale, at least one, so all of them are equally dark at
// every zoom and screen scale. The rest of the picture is drawn as recorded.

#include <QColor>
#include <QLineF>
#include <vector>

class QPainter;
class QPicture;

class PictureRules {
public:
    PictureRules() = default;
    // The rules that `picture` draws, read from its drawing commands.
    explicit PictureRules(const QPicture& picture);

    // Plays `picture` (the one the rules were read from) through `painter`, whose transform
    // takes the picture's units to the device; the rules are drawn by this instead.
    void play(QPainter& painter, const QPicture& picture) const;

    struct Rule {
        QLineF line;  // in the picture's units, along an axis
        double width; // in the picture's units
        QColor colour;
    };

private:
    std::vector<Rule> rules;
};
