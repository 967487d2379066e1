#include "MetadataBlocks.h"

#include <algorithm>
#include <cstring>

namespace ie::io::blocks {

namespace {

constexpr std::uint16_t kIptcResource = 0x0404;

std::uint32_t readBe(ByteView data, std::size_t pos, int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v = (v << 8) | data[pos + i];
    return v;
}

void appendBe(Bytes& out, std::uint32_t v, int bytes) {
    for (int i = bytes - 1; i >= 0; --i)
        out.push_back(std::uint8_t(v >> (8 * i)));
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

bool startsWith(ByteView data, std::string_view prefix) {
    return data.size() >= prefix.size()
        && std::memcmp(data.data(), prefix.data(), prefix.size()) == 0;
}

ByteView withoutExifHeader(ByteView exif) {
    return startsWith(exif, kExifHeader) ? exif.subspan(kExifHeader.size()) : exif;
}

Bytes iptcFromPhotoshopResources(ByteView res) {
    std::size_t pos = 0;
    while (pos + 12 <= res.size() && startsWith(res.subspan(pos), "8BIM")) {
        const auto id = std::uint16_t(readBe(res, pos + 4, 2));
        // The name is a Pascal string padded to an even length, count byte included.
        const std::size_t nameBytes = (std::size_t(res[pos + 6]) + 2) & ~std::size_t(1);
        const std::size_t sizePos = pos + 6 + nameBytes;
        if (sizePos + 4 > res.size()) break;
        const std::size_t size = readBe(res, sizePos, 4);
        const std::size_t dataPos = sizePos + 4;
        if (size > res.size() - dataPos) break;
        if (id == kIptcResource) return Bytes(res.begin() + dataPos, res.begin() + dataPos + size);
        pos = dataPos + size + (size & 1);
    }
    return {};
}

Bytes photoshopResourcesForIptc(ByteView iptc) {
    Bytes out { '8', 'B', 'I', 'M' };
    appendBe(out, kIptcResource, 2);
    out.push_back(0); // empty name, padded to two bytes
    out.push_back(0);
    appendBe(out, std::uint32_t(iptc.size()), 4);
    out.insert(out.end(), iptc.begin(), iptc.end());
    if (iptc.size() & 1) out.push_back(0);
    return out;
}

Bytes decodeRawProfile(std::string_view text) {
    // "\n<type>\n<spaces><decimal length>\n<hex, wrapped in lines>"
    std::size_t pos = text.find_first_not_of('\n');
    pos = text.find('\n', pos);
    if (pos == std::string_view::npos) return {};
    pos = text.find_first_not_of(" \n", pos);
    std::size_t length = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        length = length * 10 + std::size_t(text[pos++] - '0');
        if (length > text.size()) return {}; // cannot fit, malformed
    }
    Bytes out;
    out.reserve(length);
    int high = -1;
    for (; pos < text.size() && out.size() < length; ++pos) {
        const int v = hexValue(text[pos]);
        if (v < 0) continue; // line breaks and spaces
        if (high < 0) {
            high = v;
        } else {
            out.push_back(std::uint8_t(high << 4 | v));
            high = -1;
        }
    }
    if (out.size() != length) return {};
    return out;
}

std::string encodeRawProfile(std::string_view type, ByteView data) {
    static constexpr char kDigits[] = "0123456789abcdef";
    const std::string len = std::to_string(data.size());
    std::string out;
    out.reserve(type.size() + 12 + len.size() + data.size() * 2 + data.size() / 36);
    out.append(1, '\n').append(type).append(1, '\n');
    out.append(len.size() < 8 ? 8 - len.size() : 0, ' ').append(len).append(1, '\n');
    for (std::size_t i = 0; i < data.size(); ++i) {
        out += kDigits[data[i] >> 4];
        out += kDigits[data[i] & 15];
        if (i % 36 == 35) out += '\n';
    }
    out += '\n';
    return out;
}

} // namespace ie::io::blocks
