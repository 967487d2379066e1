// The flat PSD codec: the merged image of any PSD or PSB file, and flat files written.
#include "Codecs.h"
#include "FileBytes.h"
#include "PsdFormat.h"

#include <cstring>

namespace ie::io {

namespace {

using namespace psd;

class PsdCodec final : public Codec {
public:
    std::string name() const override { return "PSD"; }
    std::vector<std::string> extensions() const override { return { ".psd", ".psb" }; }

    bool matches(std::span<const std::uint8_t> head) const override {
        return head.size() >= 6 && std::memcmp(head.data(), "8BPS", 4) == 0 && head[4] == 0
            && (head[5] == 1 || head[5] == 2);
    }

    DecodedImage read(const std::string& path, const ReadOptions&) const override {
        const FileBytes file(path);
        const std::span<const std::uint8_t> data = file;
        ByteReader r(data, "PSD");
        PsdHeader h;
        readHeaderSections(r, h);
        readLayerAndMaskSection(r, h);
        DecodedImage out;
        out.bitmap = decodeComposite(data, r, h);
        return out;
    }

    void write(const std::string& path, const Bitmap& bitmap, const FormatParams& params,
        const Metadata&) const override {
        writePsd(path, bitmap, params);
    }
};

} // namespace

std::shared_ptr<const Codec> makePsdCodec() {
    return std::make_shared<PsdCodec>();
}

} // namespace ie::io
