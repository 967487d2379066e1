// One ruler of a view: ticks and labels in the chosen unit, and the pointer's grip.
#pragma once

#include <QWidget>

namespace ie {

/// Measurement units of the rulers.
enum class RulerUnit : int { Pixels = 0, Inches = 1, Centimeters = 2, Millimeters = 3 };

/// The display name of a unit ("Pixels", "Inches", "Centimeters", "Millimeters").
QString rulerUnitName(int unit);

/// Canvas pixels per unit at `dpi` (1 for pixels).
double pixelsPerUnit(int unit, double dpi);

/// A horizontal or vertical ruler drawn beside the viewport. The owner tells it where canvas
/// pixel 0 lies (in the ruler's own coordinates), the scale, the unit and the pointer position.
class Ruler : public QWidget {
    Q_OBJECT
public:
    Ruler(Qt::Orientation orientation, QWidget* parent);

    Qt::Orientation orientation() const { return m_orientation; }
    /// Places canvas pixel 0 at `origin` ruler pixels, `scale` ruler pixels per canvas pixel.
    void setMapping(double origin, double scale);
    void setUnit(int unit, double dpi);
    int unit() const { return m_unit; }
    /// The pointer's canvas coordinate along the ruler (NaN hides the grip).
    void setPointer(double canvas);
    /// Distance in canvas pixels between two labelled ticks, and the label at canvas position
    /// `canvas` (in the unit).
    double labelStep() const;
    QString labelAt(double canvas) const;

    /// Size of the pointer grip.
    static constexpr int kGripSize = 7;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Qt::Orientation m_orientation;
    double m_origin = 0, m_scale = 1;
    int m_unit = 0;
    double m_dpi = 72;
    double m_pointer;
};

} // namespace ie
