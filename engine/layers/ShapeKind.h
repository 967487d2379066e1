// The shapes a shape layer draws; the numbers are stored in project files.
#pragma once

#include <cstdint>
#include <string_view>

namespace ie {

/// One of the shape layer's shapes, in the order of the shape list. Never renumber.
enum class ShapeKind : std::uint8_t {
    Ellipse = 0,
    Circle,
    RoundRect,
    Square,
    Rectangle = 4,
    Triangle,
    TriangleDown,
    TriangleLeft,
    TriangleRight,
    RightTriangle, ///< right angle at the bottom left
    RightTriangle2, ///< ... bottom right
    RightTriangle3, ///< ... top right
    RightTriangle4, ///< ... top left
    Diamond,
    Pentagon,
    Hexagon,
    Heptagon,
    Octagon,
    Nonagon,
    Decagon,
    Dodecagon,
    Parallelogram,
    Trapezoid,
    TrapezoidDown,
    Cross,
    ThinCross,
    XCross,
    Heart,
    Star3,
    Star4,
    Star5,
    Star6,
    Star7,
    Star8,
    Star10,
    Star12,
    Star16,
    Star24,
    Star32,
    Burst,
    Crescent,
    Lightning,
    ArrowRight,
    ArrowLeft,
    ArrowUp,
    ArrowDown,
    ArrowLeftRight,
    ArrowUpDown,
    ArrowQuad,
    ThinArrowRight,
    ThinArrowLeft,
    ThinArrowUp,
    ThinArrowDown,
    ChevronRight,
    ChevronLeft,
    ChevronUp,
    ChevronDown,
    PentagonArrowRight,
    PentagonArrowLeft,
    SemicircleTop,
    SemicircleBottom,
    SemicircleLeft,
    SemicircleRight,
    QuarterTopLeft,
    QuarterTopRight,
    QuarterBottomRight,
    QuarterBottomLeft,
    Pie,
    Ring,
    RectFrame,
    RoundRectFrame,
    Gear6,
    Gear8,
    Gear12,
    Flower5,
    Flower8,
    Drop,
    Shield,
    Tag,
    Cloud,
    Sun,
    SpeechBubbleRect,
    SpeechBubbleRound,
    SpeechBubbleEllipse,
    ThoughtBubble,
    Cylinder,
    Cube,
    Bevel,
    Plaque,
    Wave,
    DoubleWave,
    Banner,
    CheckMark,
    NoSymbol,
    Egg,
    Lens,
    Kite,
    ChamferRect,
    SnipCornerRect,
    RoundTopRect,
    CornerL,
    Tee,
    Arch,
    Bowtie,
    Hourglass,
    Crown,
    House,
    Pill,
    Scallop,
    Sparkle,
    DiamondFrame,
    Octagram,
    Hexagram,
    Pentagram,
    CircleCross,
    Target,
};

/// Number of shapes (valid numbers are 0 to kShapeKindCount - 1).
inline constexpr int kShapeKindCount = 116;

/// The shape's display name ("Ellipse", "Rectangle", ...), "?" outside the range.
std::string_view shapeKindName(ShapeKind shape);

/// The shape for a stored number; out-of-range numbers give Rectangle.
constexpr ShapeKind shapeKindFromNumber(int n) {
    return n >= 0 && n < kShapeKindCount ? static_cast<ShapeKind>(n) : ShapeKind::Rectangle;
}

} // namespace ie
