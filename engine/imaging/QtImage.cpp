#include "QtImage.h"

#include "Convert.h"
#include "Error.h"
#include "Parallel.h"

#include <cmath>
#include <cstring>

namespace ie {

namespace {

constexpr double kMetersPerInch = 0.0254;

/// Qt keeps dots per metre as an integer: 72 dpi comes back as 72.009, so values that close to a
/// whole number are taken as that number.
double dpiOf(int dotsPerMeter) {
    const double dpi = dotsPerMeter * kMetersPerInch;
    const double whole = std::round(dpi);
    return std::abs(dpi - whole) < 0.02 ? whole : dpi;
}

/// Runs `perRow(y)` for every row, spread over the cores.
template <class F> void forEachRow(int height, const F& perRow) {
    parallelFor(
        0, height,
        [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y)
                perRow(y);
        },
        64);
}

QImage newImage(int width, int height, QImage::Format format) {
    QImage image(width, height, format);
    if (image.isNull())
        throw Error("Not enough memory for a " + std::to_string(width) + " x "
            + std::to_string(height) + " image");
    return image;
}

QImage copiedRows(const Bitmap& bmp, QImage::Format format) {
    QImage image = newImage(bmp.width(), bmp.height(), format);
    const std::size_t bytes = bmp.rowBytes();
    forEachRow(
        bmp.height(), [&](int y) { std::memcpy(image.scanLine(y), bmp.scanline(y), bytes); });
    return image;
}

QImage rgbWithAlphaPlane(const Bitmap& bmp) {
    QImage image = newImage(bmp.width(), bmp.height(), QImage::Format_RGBA8888);
    const int w = bmp.width();
    forEachRow(bmp.height(), [&](int y) {
        const std::uint8_t* s = bmp.scanline(y);
        const std::uint8_t* a = bmp.alphaLine(y);
        std::uint8_t* d = image.scanLine(y);
        for (int x = 0; x < w; ++x, s += 3, d += 4) {
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
            d[3] = a[x];
        }
    });
    return image;
}

QImage rgb48ToRgbx64(const Bitmap& bmp) {
    QImage image = newImage(bmp.width(), bmp.height(), QImage::Format_RGBX64);
    const int w = bmp.width();
    forEachRow(bmp.height(), [&](int y) {
        const auto* s = reinterpret_cast<const std::uint16_t*>(bmp.scanline(y));
        auto* d = reinterpret_cast<std::uint16_t*>(image.scanLine(y));
        for (int x = 0; x < w; ++x, s += 3, d += 4) {
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
            d[3] = 0xffff;
        }
    });
    return image;
}

QList<QRgb> colorTableOf(const std::vector<Rgb>& palette) {
    // Indexes past the palette must still name a colour.
    QList<QRgb> table(256, qRgb(0, 0, 0));
    for (std::size_t i = 0; i < palette.size() && i < 256; ++i)
        table[qsizetype(i)] = qRgb(palette[i].r, palette[i].g, palette[i].b);
    return table;
}

QImage convertedToQImage(const Bitmap& bmp) {
    switch (bmp.pixelFormat()) {
    case PixelFormat::Rgb24:
        return bmp.hasAlphaPlane() ? rgbWithAlphaPlane(bmp)
                                   : copiedRows(bmp, QImage::Format_RGB888);
    case PixelFormat::Rgba32:
        return copiedRows(bmp, QImage::Format_RGBA8888);
    case PixelFormat::Gray8:
        return copiedRows(bmp, QImage::Format_Grayscale8);
    case PixelFormat::Gray16:
        return copiedRows(bmp, QImage::Format_Grayscale16);
    case PixelFormat::Palette8: {
        QImage image = copiedRows(bmp, QImage::Format_Indexed8);
        image.setColorTable(colorTableOf(bmp.palette()));
        return image;
    }
    case PixelFormat::Bw1: {
        QImage image = copiedRows(bmp, QImage::Format_Mono);
        image.setColorTable({ qRgb(0, 0, 0), qRgb(255, 255, 255) });
        return image;
    }
    case PixelFormat::Rgb48:
        return rgb48ToRgbx64(bmp);
    default:
        return convertedToQImage(convertTo(bmp, PixelFormat::Rgb24));
    }
}

Bitmap copiedRows(const QImage& image, PixelFormat format) {
    Bitmap bmp(image.width(), image.height(), format);
    const std::size_t bytes = bmp.rowBytes();
    forEachRow(bmp.height(),
        [&](int y) { std::memcpy(bmp.mutableScanline(y), image.constScanLine(y), bytes); });
    return bmp;
}

Bitmap rgbx64ToRgb48(const QImage& image) {
    Bitmap bmp(image.width(), image.height(), PixelFormat::Rgb48);
    const int w = image.width();
    forEachRow(bmp.height(), [&](int y) {
        const auto* s = reinterpret_cast<const std::uint16_t*>(image.constScanLine(y));
        auto* d = reinterpret_cast<std::uint16_t*>(bmp.mutableScanline(y));
        for (int x = 0; x < w; ++x, s += 4, d += 3) {
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
        }
    });
    return bmp;
}

bool isOpaqueTable(const QList<QRgb>& table) {
    for (QRgb c : table)
        if (qAlpha(c) != 255) return false;
    return !table.isEmpty();
}

Bitmap indexedToPalette8(const QImage& image) {
    Bitmap bmp = copiedRows(image, PixelFormat::Palette8);
    std::vector<Rgb> palette;
    for (QRgb c : image.colorTable())
        palette.push_back(
            { std::uint8_t(qRed(c)), std::uint8_t(qGreen(c)), std::uint8_t(qBlue(c)) });
    bmp.setPalette(std::move(palette));
    return bmp;
}

Bitmap convertedFromQImage(const QImage& image) {
    const QImage::Format fallback
        = image.hasAlphaChannel() ? QImage::Format_RGBA8888 : QImage::Format_RGB888;
    const QRgb black = qRgb(0, 0, 0), white = qRgb(255, 255, 255);
    switch (image.format()) {
    case QImage::Format_RGB888:
        return copiedRows(image, PixelFormat::Rgb24);
    case QImage::Format_RGBA8888:
        return copiedRows(image, PixelFormat::Rgba32);
    case QImage::Format_Grayscale8:
        return copiedRows(image, PixelFormat::Gray8);
    case QImage::Format_Grayscale16:
        return copiedRows(image, PixelFormat::Gray16);
    case QImage::Format_RGBX64:
        return rgbx64ToRgb48(image);
    case QImage::Format_Indexed8:
        if (isOpaqueTable(image.colorTable())) return indexedToPalette8(image);
        break;
    case QImage::Format_Mono:
        if (image.colorTable() == QList<QRgb> { black, white })
            return copiedRows(image, PixelFormat::Bw1);
        break;
    default:
        break;
    }
    return convertedFromQImage(image.convertToFormat(fallback));
}

} // namespace

QImage toQImage(const Bitmap& bmp) {
    if (bmp.isNull()) return {};
    const PixelFormat f = bmp.pixelFormat();
    // Only RGB keeps a separate alpha plane here; the others take it in as RGBA.
    QImage image = bmp.hasAlphaPlane() && f != PixelFormat::Rgb24
        ? convertedToQImage(convertTo(bmp, PixelFormat::Rgba32))
        : convertedToQImage(bmp);
    image.setDotsPerMeterX(int(std::lround(bmp.dpiX() / kMetersPerInch)));
    image.setDotsPerMeterY(int(std::lround(bmp.dpiY() / kMetersPerInch)));
    return image;
}

Bitmap fromQImage(const QImage& image) {
    if (image.isNull()) return {};
    Plane::checkSize(image.width(), image.height());
    Bitmap bmp = convertedFromQImage(image);
    if (image.dotsPerMeterX() > 0 && image.dotsPerMeterY() > 0)
        bmp.setDpi(dpiOf(image.dotsPerMeterX()), dpiOf(image.dotsPerMeterY()));
    return bmp;
}

} // namespace ie
