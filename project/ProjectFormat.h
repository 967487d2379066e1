// The project file as an image format of the codec registry, so the general loader and saver
// recognise .vstl names.
#pragma once

namespace vst::project {

/// The extension as the format table writes it, and the format's description.
inline constexpr const char* kProjectFormatExtension = "VSTL";
inline constexpr const char* kProjectFormatDescription = "Vistrelune";

/// Adds the project format to ie::io::CodecRegistry (once; later calls do nothing). Loading a
/// project as an image gives its main variant merged; saving an image writes a one-variant
/// project. The editor and the CLI call it at start.
void registerProjectFormat();

} // namespace vst::project
