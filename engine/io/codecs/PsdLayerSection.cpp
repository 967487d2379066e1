#include "PsdLayerSection.h"

#include "../../imaging/Convert.h"
#include "../../imaging/Parallel.h"
#include "../AtomicFile.h"
#include "../ImageIO.h"
#include "FileBytes.h"
#include "PsdFormat.h"

#include <QString>
#include <algorithm>
#include <cstring>
#include <zlib.h>

namespace ie::io {

using namespace psd;

namespace {

enum LayerCompression { kZip = 2, kZipPredicted = 3 };
constexpr int kAlphaChannel = -1, kUserMask = -2;
constexpr int kFlagHidden = 2, kFlagModernFormat = 8;

// ---- writing

/// Layer pixels as Rgb24, with or without an alpha plane, or Rgba32.
Bitmap channelSource(const Bitmap& b) {
    const PixelFormat f = b.pixelFormat();
    if (f == PixelFormat::Rgb24 || f == PixelFormat::Rgba32) return b;
    return convertTo(b, PixelFormat::Rgb24);
}

void channelBytes(const Bitmap& b, int c, int y, std::uint8_t* dst) {
    const std::uint8_t* row = b.scanline(y);
    const int w = b.width();
    if (b.pixelFormat() == PixelFormat::Rgba32) {
        const int at = c == kAlphaChannel ? 3 : c;
        for (int x = 0; x < w; ++x)
            dst[x] = row[4 * x + at];
    } else if (c != kAlphaChannel) {
        for (int x = 0; x < w; ++x)
            dst[x] = row[3 * x + c];
    } else if (b.hasAlphaPlane()) {
        std::memcpy(dst, b.alphaLine(y), std::size_t(w));
    } else {
        std::memset(dst, 255, std::size_t(w));
    }
}

/// One channel's data block: the compression, the table of row sizes, the PackBits rows.
ByteWriter packChannel(const Bitmap& b, int c, bool psb) {
    ByteWriter out;
    out.u16be(kPackBits);
    const int h = b.height(), w = b.width();
    std::vector<ByteWriter> rows(static_cast<std::size_t>(h));
    parallelFor(0, h, [&](int y0, int y1) {
        std::vector<std::uint8_t> line(static_cast<std::size_t>(w));
        for (int y = y0; y < y1; ++y) {
            channelBytes(b, c, y, line.data());
            packBits(line.data(), w, rows[std::size_t(y)]);
        }
    });
    for (const ByteWriter& row : rows)
        if (psb)
            out.u32be(std::uint32_t(row.size()));
        else
            out.u16be(unsigned(row.size()));
    for (const ByteWriter& row : rows)
        out.bytes(row.data().data(), row.size());
    return out;
}

void lengthField(ByteWriter& out, std::uint64_t n, bool psb) {
    if (psb)
        out.u64be(n);
    else
        out.u32be(std::uint32_t(n));
}

/// The Pascal name (ASCII, padded to four bytes with its length byte) and the Unicode name block.
void writeNames(ByteWriter& out, const std::string& utf8) {
    const QString name = QString::fromUtf8(utf8);
    std::string ascii;
    for (QChar ch : name)
        ascii += ch.unicode() < 128 ? char(ch.unicode()) : '?';
    ascii.resize(std::min<std::size_t>(ascii.size(), 255));
    out.u8(unsigned(ascii.size()));
    out.bytes(ascii.data(), ascii.size());
    for (std::size_t n = ascii.size() + 1; n % 4; ++n)
        out.u8(0);
    const std::u16string wide = name.toStdU16String();
    std::uint32_t size = std::uint32_t(4 + 2 * wide.size());
    const std::uint32_t padded = (size + 3) & ~3u;
    out.text("8BIMluni");
    out.u32be(padded);
    out.u32be(std::uint32_t(wide.size()));
    for (char16_t ch : wide)
        out.u16be(ch);
    for (; size < padded; ++size)
        out.u8(0);
}

void writeRecord(
    ByteWriter& out, const PsdLayer& l, const std::vector<ByteWriter>& channels, bool psb) {
    const Bitmap& b = l.pixels;
    out.u32be(std::uint32_t(l.top));
    out.u32be(std::uint32_t(l.left));
    out.u32be(std::uint32_t(l.top + b.height()));
    out.u32be(std::uint32_t(l.left + b.width()));
    out.u16be(4);
    const int ids[] = { kAlphaChannel, 0, 1, 2 };
    for (int i = 0; i < 4; ++i) {
        out.u16be(std::uint16_t(std::int16_t(ids[i])));
        lengthField(out, channels[std::size_t(i)].size(), psb);
    }
    out.text("8BIM");
    std::string key = l.blendKey;
    key.resize(4, ' ');
    out.bytes(key.data(), 4);
    out.u8(l.opacity);
    out.u8(0); // clipping: base
    out.u8(unsigned((l.visible ? 0 : kFlagHidden) | kFlagModernFormat));
    out.u8(0);
    ByteWriter extra;
    extra.u32be(0); // no layer mask
    extra.u32be(0); // no blending ranges
    writeNames(extra, l.name);
    out.u32be(std::uint32_t(extra.size()));
    out.bytes(extra.data().data(), extra.size());
}

ByteWriter layerInfo(const std::vector<PsdLayer>& layers, bool psb, bool mergedAlpha) {
    ByteWriter records, data;
    const int count = int(layers.size());
    if (count > 32767) throw Error("PSD files can hold at most 32767 layers");
    records.u16be(std::uint16_t(std::int16_t(mergedAlpha ? -count : count)));
    for (const PsdLayer& l : layers) {
        const Bitmap src = channelSource(l.pixels);
        std::vector<ByteWriter> channels;
        for (int c : { kAlphaChannel, 0, 1, 2 })
            channels.push_back(packChannel(src, c, psb));
        PsdLayer placed = l;
        placed.pixels = src;
        writeRecord(records, placed, channels, psb);
        for (const ByteWriter& ch : channels)
            data.bytes(ch.data().data(), ch.size());
    }
    records.bytes(data.data().data(), data.size());
    while (records.size() % 4)
        records.u8(0);
    return records;
}

// ---- reading

struct ChannelInfo {
    int id = 0;
    std::uint64_t length = 0;
};

struct LayerRecord {
    PsdLayer layer;
    int width = 0, height = 0;
    std::vector<ChannelInfo> channels;
    int maskLeft = 0, maskTop = 0, maskWidth = 0, maskHeight = 0;
    std::uint8_t maskDefault = 255;
    bool maskEnabled = false;
    bool groupMarker = false;
};

void readMaskData(ByteReader d, LayerRecord& rec) {
    if (d.size() < 18) return;
    const std::int32_t top = std::int32_t(d.u32be()), left = std::int32_t(d.u32be());
    const std::int32_t bottom = std::int32_t(d.u32be()), right = std::int32_t(d.u32be());
    rec.maskDefault = d.u8();
    const std::uint8_t flags = d.u8();
    if (right < left || bottom < top) d.damaged("a layer mask has a negative size");
    rec.maskLeft = left;
    rec.maskTop = top;
    rec.maskWidth = right - left;
    rec.maskHeight = bottom - top;
    rec.maskEnabled = !(flags & 2);
}

std::string readUnicodeName(ByteReader d) {
    const std::uint32_t n = d.u32be();
    if (std::uint64_t(n) * 2 > d.remaining()) d.truncated();
    std::u16string s(n, u'\0');
    for (auto& ch : s)
        ch = char16_t(d.u16be());
    while (!s.empty() && s.back() == 0)
        s.pop_back();
    return QString::fromStdU16String(s).toStdString();
}

void readAdditionalInfo(ByteReader d, LayerRecord& rec) {
    while (d.remaining() >= 12) {
        d.skip(4); // "8BIM" or "8B64"
        char key[5] = {};
        std::memcpy(key, d.take(4), 4);
        const std::uint32_t size = d.u32be();
        ByteReader block = d.sub(d.pos(), size);
        d.skip(size);
        if (!std::strcmp(key, "luni")) {
            rec.layer.name = readUnicodeName(block);
        } else if (!std::strcmp(key, "lsct") || !std::strcmp(key, "lsdk")) {
            const std::uint32_t type = block.remaining() >= 4 ? block.u32be() : 0;
            rec.groupMarker = type >= 1 && type <= 3;
        }
    }
}

LayerRecord readRecord(ByteReader& r, const PsdHeader& h) {
    LayerRecord rec;
    const std::int32_t top = std::int32_t(r.u32be()), left = std::int32_t(r.u32be());
    const std::int32_t bottom = std::int32_t(r.u32be()), right = std::int32_t(r.u32be());
    if (right < left || bottom < top) r.damaged("a layer has a negative size");
    const std::int64_t w = std::int64_t(right) - left, hh = std::int64_t(bottom) - top;
    if (w && hh) Plane::checkSize(w, hh);
    rec.layer.left = left;
    rec.layer.top = top;
    rec.width = int(w);
    rec.height = int(hh);
    const int channelCount = r.u16be();
    if (channelCount > 56) r.damaged(std::to_string(channelCount) + " channels in a layer");
    for (int i = 0; i < channelCount; ++i) {
        ChannelInfo c;
        c.id = r.i16be();
        c.length = h.psb ? r.u64be() : r.u32be();
        rec.channels.push_back(c);
    }
    if (std::memcmp(r.take(4), "8BIM", 4) != 0) r.damaged("a layer record has no signature");
    rec.layer.blendKey.assign(reinterpret_cast<const char*>(r.take(4)), 4);
    rec.layer.opacity = r.u8();
    r.skip(1); // clipping
    rec.layer.visible = !(r.u8() & kFlagHidden);
    r.skip(1);
    ByteReader extra = r.sub(r.pos(), r.u32be());
    r.skip(extra.size());
    const std::uint32_t maskSize = extra.u32be();
    readMaskData(extra.sub(extra.pos(), maskSize), rec);
    extra.skip(maskSize);
    extra.skip(extra.u32be()); // blending ranges
    const int nameLength = extra.u8();
    rec.layer.name.assign(reinterpret_cast<const char*>(extra.take(std::uint64_t(nameLength))),
        std::size_t(nameLength));
    extra.skip(std::uint64_t((4 - (nameLength + 1) % 4) % 4));
    readAdditionalInfo(extra.sub(extra.pos(), extra.remaining()), rec);
    return rec;
}

/// Decodes one channel's block into `out` (width x height samples of `depth` bits, big-endian).
void decodeChannel(
    ByteReader d, int width, int height, const PsdHeader& h, std::vector<std::uint8_t>& out) {
    const std::size_t rowBytes = std::size_t(width) * (h.depth / 8);
    out.assign(rowBytes * height, 0);
    if (!width || !height) return;
    const int compression = d.u16be();
    if (compression == kRaw) {
        std::memcpy(out.data(), d.take(out.size()), out.size());
    } else if (compression == kPackBits) {
        std::vector<std::uint32_t> sizes(static_cast<std::size_t>(height));
        for (auto& s : sizes)
            s = h.psb ? d.u32be() : d.u16be();
        for (int y = 0; y < height; ++y) {
            unpackBits(d.sub(d.pos(), sizes[std::size_t(y)]), out.data() + rowBytes * y, rowBytes);
            d.skip(sizes[std::size_t(y)]);
        }
    } else if (compression == kZip || compression == kZipPredicted) {
        uLongf size = uLongf(out.size());
        const auto rest = d.rest();
        if (uncompress(out.data(), &size, rest.data(), uLong(rest.size())) != Z_OK
            || size != out.size())
            d.damaged("a layer's compressed pixels don't decompress");
        if (compression == kZipPredicted) {
            for (int y = 0; y < height; ++y) {
                std::uint8_t* row = out.data() + rowBytes * y;
                if (h.depth == 8) {
                    for (std::size_t x = 1; x < rowBytes; ++x)
                        row[x] = std::uint8_t(row[x] + row[x - 1]);
                } else {
                    for (std::size_t x = 2; x + 1 < rowBytes; x += 2) {
                        const unsigned v
                            = ((row[x] << 8 | row[x + 1]) + (row[x - 2] << 8 | row[x - 1]))
                            & 0xFFFF;
                        row[x] = std::uint8_t(v >> 8);
                        row[x + 1] = std::uint8_t(v);
                    }
                }
            }
        }
    } else {
        d.damaged("unknown layer compression " + std::to_string(compression));
    }
}

std::uint8_t sampleAt(const std::vector<std::uint8_t>& s, std::size_t i, int depth) {
    return depth == 16 ? s[2 * i] : s[i];
}

/// Puts the decoded channels into an Rgb24 bitmap with alpha, converting grey and CMYK.
void storeLayerPixels(
    LayerRecord& rec, const PsdHeader& h, const std::vector<std::vector<std::uint8_t>>& data) {
    Bitmap b(rec.width, rec.height, PixelFormat::Rgb24);
    b.addAlphaPlane(255);
    auto channel = [&](int id) -> const std::vector<std::uint8_t>* {
        for (std::size_t i = 0; i < rec.channels.size(); ++i)
            if (rec.channels[i].id == id) return &data[i];
        return nullptr;
    };
    const int colours = h.colorChannels();
    const std::vector<std::uint8_t>* c[4] = {};
    for (int i = 0; i < colours; ++i)
        if (!(c[i] = channel(i)))
            throw Error("PSD file is damaged: a layer lacks a colour channel");
    const auto* alpha = channel(kAlphaChannel);
    const auto* mask = rec.maskEnabled ? channel(kUserMask) : nullptr;
    for (int y = 0; y < rec.height; ++y) {
        std::uint8_t* row = b.mutableScanline(y);
        std::uint8_t* a = b.mutableAlphaLine(y);
        for (int x = 0; x < rec.width; ++x) {
            const std::size_t i = std::size_t(y) * rec.width + x;
            std::uint8_t rgb[3];
            if (colours == 1) {
                rgb[0] = rgb[1] = rgb[2] = sampleAt(*c[0], i, h.depth);
            } else if (colours == 3) {
                for (int k = 0; k < 3; ++k)
                    rgb[k] = sampleAt(*c[k], i, h.depth);
            } else { // CMYK, stored as 255 = no ink
                const unsigned k = sampleAt(*c[3], i, h.depth);
                for (int j = 0; j < 3; ++j)
                    rgb[j] = std::uint8_t((sampleAt(*c[j], i, h.depth) * k + 127) / 255);
            }
            std::memcpy(row + 3 * x, rgb, 3);
            unsigned av = alpha ? sampleAt(*alpha, i, h.depth) : 255;
            if (rec.maskEnabled) {
                const int mx = rec.layer.left + x - rec.maskLeft;
                const int my = rec.layer.top + y - rec.maskTop;
                const bool inside
                    = mask && mx >= 0 && my >= 0 && mx < rec.maskWidth && my < rec.maskHeight;
                const unsigned m = inside
                    ? sampleAt(*mask, std::size_t(my) * rec.maskWidth + mx, h.depth)
                    : rec.maskDefault;
                av = (av * m + 127) / 255;
            }
            a[x] = std::uint8_t(av);
        }
    }
    rec.layer.pixels = std::move(b);
}

bool readableLayerMode(const PsdHeader& h) {
    const bool mode = h.mode == kRgbMode || h.mode == kGreyMode || h.mode == kCmykMode;
    return mode && (h.depth == 8 || h.depth == 16);
}

void readChannels(ByteReader& r, LayerRecord& rec, const PsdHeader& h) {
    std::vector<std::vector<std::uint8_t>> data(rec.channels.size());
    for (std::size_t i = 0; i < rec.channels.size(); ++i) {
        const ChannelInfo& ci = rec.channels[i];
        ByteReader d = r.sub(r.pos(), ci.length);
        r.skip(ci.length);
        const bool isMask = ci.id == kUserMask;
        if (ci.id < kUserMask || (isMask && !rec.maskEnabled)) continue;
        if (ci.id >= h.colorChannels()) continue; // spot colours are not part of the picture
        const int w = isMask ? rec.maskWidth : rec.width, hh = isMask ? rec.maskHeight : rec.height;
        if (isMask && w && hh) Plane::checkSize(w, hh);
        decodeChannel(d, w, hh, h, data[i]);
    }
    if (rec.width && rec.height && !rec.groupMarker) storeLayerPixels(rec, h, data);
}

} // namespace

void writeLayeredPsd(const std::string& path, const std::vector<PsdLayer>& layers,
    const Bitmap& merged, const FormatParams& params) {
    const bool psb = extensionOf(path) == ".psb";
    const Bitmap flat
        = convertTo(merged, PixelFormat::Rgb24); // layers are 8-bit RGB, so is the file
    const ByteWriter info = layerInfo(layers, psb, flat.hasAlpha());
    AtomicFile file(path);
    writePsd(file.tempPath(), flat, params, &info);
    file.commit();
}

PsdLayers readPsdLayers(const std::string& path) {
    const FileBytes file(path);
    const std::span<const std::uint8_t> data = file;
    ByteReader r(data, "PSD");
    PsdHeader h;
    readHeaderSections(r, h);
    PsdLayers out;
    out.width = h.width;
    out.height = h.height;
    const std::uint64_t sectionSize = h.psb ? r.u64be() : r.u32be();
    ByteReader s = r.sub(r.pos(), sectionSize);
    if (!readableLayerMode(h) || s.remaining() < (h.psb ? 8u : 4u)) return out;
    const std::uint64_t infoSize = h.psb ? s.u64be() : s.u32be();
    ByteReader info = s.sub(s.pos(), infoSize);
    if (info.remaining() < 2) return out;
    const int count = std::abs(int(info.i16be()));
    // The smallest record takes 44 bytes: a hostile count can't make a huge list.
    if (std::uint64_t(count) * 44 > info.remaining()) info.truncated();
    std::vector<LayerRecord> records;
    for (int i = 0; i < count; ++i)
        records.push_back(readRecord(info, h));
    for (LayerRecord& rec : records) {
        readChannels(info, rec, h);
        if (!rec.layer.pixels.isNull()) out.layers.push_back(std::move(rec.layer));
    }
    return out;
}

} // namespace ie::io
