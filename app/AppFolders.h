// The program's folders: installation, application data, samples and its own temporary folder.
#pragma once

#include <QString>

namespace vst::app {

/// The executable's folder: transl.dt and the sources of the samples folder.
QString installationFolder();
/// The user's data folder joined with "Vistrelune": recent.txt and downloads.
QString applicationDataFolder();
/// The user's Documents folder joined with "Vistrelune".
QString samplesFolderPath();
/// The folder inside the shared temporary folder where the image codecs put their temporary
/// files; the closing clean-up looks only here.
QString programTempFolder();

/// Deletes the files (not folders) of `folder` whose names match "magick-*.*"; a file that
/// can't be deleted is skipped. Returns how many were deleted.
int deleteMagickTempFiles(const QString& folder);

} // namespace vst::app
