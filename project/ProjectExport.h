// Export As without dialogs: every chosen variant of a project written to an image file.
#pragma once

#include "Variant.h"

#include "imaging/Bitmap.h"
#include "io/FormatParams.h"

#include <functional>
#include <string>
#include <vector>

namespace vst::project {

/// What an export writes and where.
struct ExportOptions {
    std::string folder; ///< the chosen folder (must exist)
    std::string baseName; ///< the typed name without extension
    std::string extension = ".jpg"; ///< the image format, with its dot
    bool defaultVariant = true; ///< write the main variant (base + extension)
    bool otherVariants = true; ///< write the others (base + "_" + name + extension)
    bool keepSize = true; ///< "don't change"
    int sizeType = 0; ///< 0: width and height in pixels; 1: in per cent of the image
    double width = 0;
    double height = 0;
    ie::io::FormatParams params;
    /// Asked for a target that exists already; false skips that variant. Unset: overwrite.
    std::function<bool(const std::string& target)> overwrite;
};

/// A name part that stays inside the folder: "/", "\", ":", "*", "?", quotes, "<", ">", "|" and
/// control characters become "_", and so do the names "." and "..".
QString safeFileNamePart(const QString& name);

/// The target file of variant `index` (0 = main variant).
std::string exportTarget(const ExportOptions& options, int index, const QString& versionName);

/// The layers an export writes for one variant, on a copy: paths hidden; a mask on layer 1 gets
/// a transparent layer 0 under it so the masked background keeps its transparency.
ie::LayerStack exportLayers(const Variant& variant);

/// The exported bitmap of a variant: exportLayers() merged (clipped to the canvas), then resized
/// with the high-quality bicubic filter when the requested size differs.
ie::Bitmap exportImage(const Variant& variant, const ExportOptions& options);

/// True for the formats an export writes with their layers (.psd, .psb); the others get the
/// merged image.
bool exportKeepsLayers(const std::string& extension);
/// Writes one variant as a layered file: exportLayers(), scaled when the requested size
/// differs, with the variant's resolution.
void exportLayered(const Variant& variant, const ExportOptions& options, const std::string& target);
/// Writes the chosen variants; returns the files written. Throws ie::Error on the first failure
/// (the remaining variants are then not written).
std::vector<std::string> exportProject(
    const std::vector<Variant>& variants, const ExportOptions& options);

} // namespace vst::project
