#include "Ruler.h"

#include <QPainter>
#include <cmath>
#include <limits>

namespace ie {

QString rulerUnitName(int unit) {
    switch (unit) {
    case 1:
        return QStringLiteral("Inches");
    case 2:
        return QStringLiteral("Centimeters");
    case 3:
        return QStringLiteral("Millimeters");
    default:
        return QStringLiteral("Pixels");
    }
}

double pixelsPerUnit(int unit, double dpi) {
    if (!(dpi > 0)) dpi = 72;
    switch (unit) {
    case 1:
        return dpi;
    case 2:
        return dpi / 2.54;
    case 3:
        return dpi / 25.4;
    default:
        return 1;
    }
}

Ruler::Ruler(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent)
    , m_orientation(orientation)
    , m_pointer(std::numeric_limits<double>::quiet_NaN()) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Ruler::setMapping(double origin, double scale) {
    if (origin == m_origin && scale == m_scale) return;
    m_origin = origin;
    m_scale = scale > 0 ? scale : 1;
    update();
}

void Ruler::setUnit(int unit, double dpi) {
    m_unit = std::clamp(unit, 0, 3);
    m_dpi = dpi;
    update();
}

void Ruler::setPointer(double canvas) {
    m_pointer = canvas;
    update();
}

double Ruler::labelStep() const {
    // The smallest 1-2-5 step in units whose labels lie at least 50 ruler pixels apart.
    const double ppu = pixelsPerUnit(m_unit, m_dpi);
    const double minUnits = 50 / (m_scale * ppu);
    double step = std::pow(10.0, std::floor(std::log10(minUnits)));
    for (double k : { 1.0, 2.0, 5.0, 10.0 })
        if (step * k >= minUnits) return step * k * ppu;
    return step * 10 * ppu;
}

QString Ruler::labelAt(double canvas) const {
    const double v = canvas / pixelsPerUnit(m_unit, m_dpi);
    const double r = std::nearbyint(v);
    if (std::abs(v - r) < 1e-6) return QString::number(qint64(r));
    return QString::number(v, 'g', 4);
}

void Ruler::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(45, 45, 45));
    p.setPen(QColor(170, 170, 170));
    p.setFont(font());
    const bool horizontal = m_orientation == Qt::Horizontal;
    const int length = horizontal ? width() : height();
    const int thick = horizontal ? height() : width();
    const double step = labelStep();
    const double c0 = (0 - m_origin) / m_scale, c1 = (length - m_origin) / m_scale;
    const double first = std::floor(c0 / step) * step;
    for (double c = first; c <= c1; c += step / 10) {
        const double pos = m_origin + c * m_scale;
        const double k = std::nearbyint((c - first) / (step / 10));
        const bool major = std::fmod(k, 10) == 0, half = std::fmod(k, 5) == 0;
        const int tick = major ? thick : half ? thick / 2 : thick / 4;
        if (horizontal)
            p.drawLine(QPointF(pos, thick - tick), QPointF(pos, thick));
        else
            p.drawLine(QPointF(thick - tick, pos), QPointF(thick, pos));
        if (!major) continue;
        const QString text = labelAt(c);
        if (horizontal) {
            p.drawText(QPointF(pos + 2, 10), text);
        } else {
            p.save();
            p.translate(10, pos + 2);
            p.rotate(90);
            p.drawText(QPointF(0, 0), text);
            p.restore();
        }
    }
    if (!std::isnan(m_pointer)) {
        const double pos = m_origin + m_pointer * m_scale;
        const QRectF grip = horizontal
            ? QRectF(pos - kGripSize / 2.0, thick - kGripSize, kGripSize, kGripSize)
            : QRectF(thick - kGripSize, pos - kGripSize / 2.0, kGripSize, kGripSize);
        p.fillRect(grip, Qt::white);
        p.setPen(Qt::black);
        p.drawRect(grip);
    }
    p.setPen(QColor(20, 20, 20));
    if (horizontal)
        p.drawLine(0, thick - 1, width(), thick - 1);
    else
        p.drawLine(thick - 1, 0, thick - 1, height());
}

} // namespace ie
