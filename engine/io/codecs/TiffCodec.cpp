#include "Codecs.h"
#include "TiffPages.h"
#include "TiffRead.h"

#include <cstring>

namespace ie::io {

namespace {

class TiffCodec final : public Codec {
public:
    std::string name() const override { return "TIFF"; }
    std::vector<std::string> extensions() const override { return { ".tif", ".tiff" }; }

    bool matches(std::span<const std::uint8_t> head) const override {
        if (head.size() < 4) return false;
        const auto* p = head.data();
        // Classic (42) and BigTIFF (43), in either byte order.
        const bool intel = p[0] == 'I' && p[1] == 'I' && (p[2] == 42 || p[2] == 43) && p[3] == 0;
        const bool motorola = p[0] == 'M' && p[1] == 'M' && p[2] == 0 && (p[3] == 42 || p[3] == 43);
        return intel || motorola;
    }

    DecodedImage read(const std::string& path, const ReadOptions& options) const override {
        return readTiffPage(path, options.pageIndex);
    }

    int pageCount(const std::string& path) const override { return tiffPageCount(path); }

    void write(const std::string& path, const Bitmap& bitmap, const FormatParams& params,
        const Metadata& metadata) const override {
        writeTiffPages(path, { bitmap }, params, metadata);
    }
};

} // namespace

std::shared_ptr<const Codec> makeTiffCodec() {
    return std::make_shared<TiffCodec>();
}

} // namespace ie::io
