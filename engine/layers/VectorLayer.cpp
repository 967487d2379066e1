#include "VectorLayer.h"

#include <QPainter>
#include <algorithm>

namespace ie {

VectorLayer::VectorLayer(const VectorLayer& other)
    : Layer(other) {
    m_cache.image = other.m_cache.image;
    m_cache.drawn = other.m_cache.drawn ? other.m_cache.drawn->clone() : nullptr;
    m_cache.version = other.m_cache.version;
}

VectorLayer& VectorLayer::operator=(const VectorLayer& other) {
    if (this != &other) {
        Layer::operator=(other);
        m_cache.image = other.m_cache.image;
        m_cache.drawn = other.m_cache.drawn ? other.m_cache.drawn->clone() : nullptr;
        m_cache.version = other.m_cache.version;
    }
    return *this;
}

namespace {

// The common properties with everything the compositor applies (placement, visibility,
// blending, effects, selection state, descriptive text) neutralised: what is left shapes pixels.
LayerProperties drawnPart(const LayerProperties& p) {
    LayerProperties d = p;
    d.id = Guid {};
    d.x = d.y = 0;
    d.visible = d.boxVisible = d.selectable = d.cropped = d.locked = d.selected = false;
    d.transparency = 255;
    d.opacity = 1;
    d.blendOperation = BlendOperation::Normal;
    d.userData.clear();
    d.name.clear();
    d.hint.clear();
    d.url.clear();
    d.isMask = d.maskInverted = d.drawOuter = false;
    d.rotation = d.rotationCenterX = d.rotationCenterY = 0;
    d.flip = 0;
    d.alphaEdgeFeathering = 0;
    d.groupIndex = 0;
    d.aspectRatioLocked = false;
    d.originalAspectRatio = 0;
    d.tag = 0;
    d.softShadow = d.innerGlow = Shadow {};
    d.rulerMode = d.rulerUnits = 0;
    d.scaleLocking = false;
    d.modifiedDate = 0;
    return d;
}

} // namespace

bool VectorLayer::looksLike(const VectorLayer& drawn) const {
    return drawn.kind() == kind() && drawnPart(*this) == drawnPart(drawn) && sameKindLook(drawn);
}

QImage VectorLayer::rendered(int pixelWidth, int pixelHeight) const {
    pixelWidth = std::max(1, pixelWidth);
    pixelHeight = std::max(1, pixelHeight);
    const auto* drawn = static_cast<const VectorLayer*>(m_cache.drawn.get());
    if (drawn && m_cache.image.width() == pixelWidth && m_cache.image.height() == pixelHeight
        && looksLike(*drawn))
        return m_cache.image;

    QImage img(pixelWidth, pixelHeight, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing, antialias);
        p.setRenderHint(QPainter::TextAntialiasing, antialias);
        p.setRenderHint(QPainter::SmoothPixmapTransform, true);
        if (width > 0 && height > 0) p.scale(pixelWidth / width, pixelHeight / height);
        paint(p);
    }
    m_cache.drawn.reset();
    m_cache.image = img;
    m_cache.drawn = clone();
    // The copy's own cache stays empty: only its properties matter.
    static_cast<VectorLayer&>(*m_cache.drawn).m_cache = Cache {};
    ++m_cache.version;
    return img;
}

} // namespace ie
