// The samples folder in the user's Documents: brushes, filters, patterns, palettes, AI presets
// and preset files, provided from the installation folder when missing.
#pragma once

#include <QString>
#include <QStringList>

namespace vst::app {

/// The full paths the tools read, set by provideSamplesFolder.
struct SamplesPaths {
    QString samples; ///< the samples folder itself (preset files)
    QString brushTextures;
    QString brushShapes;
    QString filters;
    QString library; ///< "samples", the graphic library
    QString patterns;
    QString colors;
    QString aiPresets;
};

/// The process-wide paths (empty until provided).
const SamplesPaths& samplesPaths();

/// The folders copied whole and the files copied, as the samples folder holds them.
const QStringList& samplesFolderEntries();
const QStringList& samplesFileEntries();

/// Creates `target` when missing and copies each entry from `source` that `target` lacks: a
/// folder only when the target folder does not exist, a file only when the target file does
/// not exist; nothing existing is overwritten or merged. Sets the process-wide paths. Returns
/// false when `target` neither exists nor can be created (nothing is copied then).
bool provideSamplesFolder(const QString& source, const QString& target);

/// Copies a folder with everything in it; false when anything failed.
bool copyFolder(const QString& from, const QString& to);

} // namespace vst::app
