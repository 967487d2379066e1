// Factories of the built-in codecs, one per file format family.
#pragma once

#include "../Codec.h"

#include <memory>

namespace ie::io {

std::shared_ptr<const Codec> makeJpegCodec();
std::shared_ptr<const Codec> makePngCodec();
std::shared_ptr<const Codec> makeTiffCodec();
std::shared_ptr<const Codec> makeGifCodec();
std::shared_ptr<const Codec> makeWebpCodec();
std::shared_ptr<const Codec> makeBmpCodec();
std::shared_ptr<const Codec> makeTgaCodec();
std::shared_ptr<const Codec> makePcxCodec();
std::shared_ptr<const Codec> makePnmCodec();
std::shared_ptr<const Codec> makeIcoCodec();
std::shared_ptr<const Codec> makePsdCodec();
std::shared_ptr<const Codec> makeHeifCodec();
std::shared_ptr<const Codec> makeJpeg2000Codec();
std::shared_ptr<const Codec> makePdfCodec();
std::shared_ptr<const Codec> makeRawCodec();
/// Magick++ for the formats without a direct codec (DPX, DCX, DICOM, JNG, CIN, PICT, HDP).
std::shared_ptr<const Codec> makeMagickCodec();

} // namespace ie::io
