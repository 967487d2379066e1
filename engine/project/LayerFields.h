// The fields of a layer record in file order, written once and used both to read and to write.
#pragma once

#include "../layers/AngleLayer.h"
#include "../layers/ImageLayer.h"
#include "../layers/LineLayer.h"
#include "../layers/PolylineLayer.h"
#include "../layers/ShapeLayer.h"
#include "../layers/TextLayer.h"
#include "StreamReader.h"
#include "StreamWriter.h"

#include <cmath>
#include <limits>
#include <type_traits>

namespace ie::layerfields {

/// A double written as an int32: rounded (sizes) or truncated (positions), clamped to the range.
inline std::int32_t toInt32(double v, bool round) {
    if (!(v == v)) return 0; // NaN
    v = round ? std::nearbyint(v) : std::trunc(v);
    return std::int32_t(std::clamp(v, double(std::numeric_limits<std::int32_t>::min()),
        double(std::numeric_limits<std::int32_t>::max())));
}

/// Writes each field as it is visited.
class Writer {
public:
    static constexpr bool kReading = false;
    explicit Writer(StreamWriter& out)
        : m_out(out) { }

    void i32(const int& v) { m_out.i32(v); }
    void f64(const double& v) { m_out.f64(v); }
    void byte(const bool& v) { m_out.boolean(v); }
    void byte(const std::uint8_t& v) { m_out.u8(v); }
    /// An enumeration stored as a byte; `count` is the number of valid values.
    template <class E> void enumByte(const E& v, int /*count*/) { m_out.u8(std::uint8_t(v)); }
    void rounded(const double& v) { m_out.i32(toInt32(v, true)); }
    void truncated(const double& v) { m_out.i32(toInt32(v, false)); }
    void wide(const QString& s) { m_out.wideString(s); }
    void blob(const std::vector<std::uint8_t>& b) { m_out.byteArray(b); }
    void guid(const Guid& g) { m_out.bytes(g.bytes.data(), g.bytes.size()); }
    void rgb(const Rgb& c) {
        const std::uint8_t bgr[3] = { c.b, c.g, c.r };
        m_out.bytes(bgr, 3);
    }
    void padding(int n) {
        static const std::uint8_t zeros[8] = {};
        m_out.bytes(zeros, std::size_t(n));
    }
    /// The int32 element count of a list; the elements follow, visited by the caller.
    template <class T> void count(const std::vector<T>& v, std::int64_t /*elementBytes*/) {
        if (v.size() > std::size_t(std::numeric_limits<std::int32_t>::max()))
            throw Error("A layer has too many points to be saved");
        m_out.i32(std::int32_t(v.size()));
    }

private:
    StreamWriter& m_out;
};

/// Reads each field into the visited member.
class Reader {
public:
    static constexpr bool kReading = true;
    explicit Reader(StreamReader& in)
        : m_in(in) { }

    void i32(int& v) { v = m_in.i32(); }
    void f64(double& v) { v = m_in.f64(); }
    void byte(bool& v) { v = m_in.boolean(); }
    void byte(std::uint8_t& v) { v = m_in.u8(); }
    /// Values outside the enumeration keep the member's default.
    template <class E> void enumByte(E& v, int count) {
        const int n = m_in.u8();
        if (n < count) v = static_cast<E>(n);
    }
    void rounded(double& v) { v = m_in.i32(); }
    void truncated(double& v) { v = m_in.i32(); }
    void wide(QString& s) { s = m_in.wideString("a text of a layer"); }
    void blob(std::vector<std::uint8_t>& b) { b = m_in.byteArray("the user data of a layer"); }
    void guid(Guid& g) { m_in.bytes(g.bytes.data(), g.bytes.size()); }
    void rgb(Rgb& c) {
        std::uint8_t bgr[3];
        m_in.bytes(bgr, 3);
        c = { bgr[2], bgr[1], bgr[0] };
    }
    void padding(int n) { m_in.skip(n); }
    template <class T> void count(std::vector<T>& v, std::int64_t elementBytes) {
        v.resize(std::size_t(m_in.count(elementBytes, "the points of a layer")));
    }

private:
    StreamReader& m_in;
};

// `L` is `const X` when writing and `X` when reading, so one list serves both directions.

template <class IO, class S> void shadowBlock(IO& io, S& s) {
    io.byte(s.enabled);
    io.f64(s.radius);
    io.f64(s.offsetX);
    io.f64(s.offsetY);
    io.i32(s.intensity);
    io.rgb(s.color);
}

template <class IO, class F> void fontBlock(IO& io, F& f) {
    io.wide(f.name);
    io.byte(f.charset);
    io.i32(f.color);
    io.i32(f.height);
    io.byte(f.style);
}

template <class IO, class R> void edgeRect(IO& io, R& r) {
    io.i32(r.left);
    io.i32(r.top);
    io.i32(r.right);
    io.i32(r.bottom);
}

/// The common part after record length, layer version and kind.
template <class IO, class L> void commonFields(IO& io, L& p) {
    io.guid(p.id);
    io.rounded(p.width);
    io.rounded(p.height);
    io.byte(p.visible);
    io.byte(p.boxVisible);
    io.byte(p.selectable);
    io.i32(p.transparency);
    io.f64(p.opacity);
    io.f64(p.fillOpacity);
    io.truncated(p.x);
    io.truncated(p.y);
    edgeRect(io, p.clientArea);
    io.byte(p.cropped);
    io.byte(p.locked);
    io.enumByte(p.blendOperation, kBlendOperationCount);
    io.blob(p.userData);
    io.wide(p.name);
    io.wide(p.hint);
    io.wide(p.url);
    io.byte(p.isMask);
    io.byte(p.maskInverted);
    io.byte(p.drawOuter);
    io.f64(p.rotation);
    io.f64(p.rotationCenterX);
    io.f64(p.rotationCenterY);
    io.byte(p.flip);
    io.i32(p.alphaEdgeFeathering);
    io.byte(p.selected);
    io.i32(p.groupIndex);
    io.byte(p.aspectRatioLocked);
    io.byte(p.antialias);
    io.f64(p.originalAspectRatio);
    io.i32(p.tag);
    io.i32(p.borderColor);
    io.i32(p.borderWidth);
    io.i32(p.fillColor);
    io.i32(p.fillColor2);
    io.enumByte(p.fillGradient, kGradientKindCount);
    shadowBlock(io, p.softShadow);
    shadowBlock(io, p.innerGlow);
    io.i32(p.textBorderWidth);
    io.i32(p.textBorderColor);
    io.enumByte(p.textBorderLineJoin, 3);
    io.i32(p.textFillTransparency1);
    io.i32(p.textFillTransparency2);
    io.i32(p.textFillColor2);
    io.enumByte(p.textFillGradient, kGradientKindCount);
    io.byte(p.rulerMode);
    io.byte(p.rulerUnits);
    io.byte(p.scaleLocking);
    io.f64(p.modifiedDate);
}

/// Image layers up to the pixel compression (the pixels themselves are handled by the caller).
template <class IO, class L> void imageFields(IO& io, L& l) {
    io.byte(l.magnification.enabled);
    io.padding(7);
    io.f64(l.magnification.rate);
    io.byte(l.magnification.style);
    io.byte(l.magnification.source);
    io.padding(6);
    io.enumByte(l.resampleFilter, kResampleFilterCount);
    io.byte(l.useResampleFilter);
}

template <class IO, class L> void shapeFields(IO& io, L& l) {
    io.enumByte(l.shape, kShapeKindCount);
    io.i32(l.shapeModifier);
}

template <class IO, class L> void lineFields(IO& io, L& l) {
    io.i32(l.lineColor);
    io.i32(l.lineWidth);
    io.enumByte(l.lineStyle, kLineStyleCount);
    io.i32(l.lineFillColor);
    fontBlock(io, l.labelFont);
    io.wide(l.labelText);
    io.enumByte(l.labelAlignment, 4);
    io.enumByte(l.labelPosition, 4);
    io.enumByte(l.labelShape, 4);
    io.byte(l.readOnly);
    io.i32(l.endShapeSize);
    io.enumByte(l.startShape, kLineEndCount);
    io.enumByte(l.endShape, kLineEndCount);
    io.f64(l.curve);
    io.f64(l.labelHorizontalMargin);
    io.f64(l.labelVerticalMargin);
    io.byte(l.textOverflow);
    io.f64(l.startX);
    io.f64(l.startY);
    io.f64(l.endX);
    io.f64(l.endY);
    edgeRect(io, l.offsetRect);
}

template <class IO, class L> void polylineFields(IO& io, L& l) {
    io.count(l.points, 16);
    for (auto& pt : l.points) {
        io.f64(pt.x);
        io.f64(pt.y);
    }
    io.byte(l.closed);
    io.byte(l.isPath);
    io.byte(l.autoSize);
    io.enumByte(l.lineStyle, kLineStyleCount);
}

template <class IO, class L> void textFields(IO& io, L& l) {
    io.wide(l.text);
    io.wide(l.richText);
    io.byte(l.formattingEnabled);
    io.enumByte(l.borderShape, 4);
    fontBlock(io, l.font);
    io.byte(l.autoSize);
    io.byte(l.readOnly);
    io.enumByte(l.alignment, 4);
    io.enumByte(l.layout, 3);
    io.byte(l.wordWrap);
    io.f64(l.horizontalMargin);
    io.f64(l.verticalMargin);
    io.byte(l.textOverflow);
    io.f64(l.borderRotation);
    io.f64(l.textOffsetX);
    io.f64(l.textOffsetY);
}

template <class IO, class L> void angleFields(IO& io, L& l) {
    fontBlock(io, l.font);
    io.wide(l.labelText);
    io.i32(l.labelDecimalPlaces);
    io.byte(l.angleMode);
    for (auto& pt : l.points) {
        io.i32(pt.x);
        io.i32(pt.y);
    }
    io.f64(l.realX);
    io.f64(l.realY);
    io.f64(l.realWidth);
    io.f64(l.realHeight);
    io.f64(l.previousRotation);
    edgeRect(io, l.offsetRect);
    io.f64(l.sweepAngle);
}

/// The kind-specific fields of a vector layer (image layers are handled apart: their pixels).
template <class IO, class L> void vectorFields(IO& io, L& layer) {
    using Shape = std::conditional_t<std::is_const_v<L>, const ShapeLayer, ShapeLayer>;
    using Line = std::conditional_t<std::is_const_v<L>, const LineLayer, LineLayer>;
    using Poly = std::conditional_t<std::is_const_v<L>, const PolylineLayer, PolylineLayer>;
    using Text = std::conditional_t<std::is_const_v<L>, const TextLayer, TextLayer>;
    using Angle = std::conditional_t<std::is_const_v<L>, const AngleLayer, AngleLayer>;
    switch (layer.kind()) {
    case LayerKind::Shape:
        shapeFields(io, static_cast<Shape&>(layer));
        break;
    case LayerKind::Line:
        lineFields(io, static_cast<Line&>(layer));
        break;
    case LayerKind::Polyline:
        polylineFields(io, static_cast<Poly&>(layer));
        break;
    case LayerKind::Text:
        textFields(io, static_cast<Text&>(layer));
        break;
    case LayerKind::Angle:
        angleFields(io, static_cast<Angle&>(layer));
        break;
    case LayerKind::Image:
        break;
    }
}

} // namespace ie::layerfields
