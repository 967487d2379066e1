// Saving an editor tab's variants as one project file.
#pragma once

#include <QString>

namespace vst::project {

class TCloseTabSheet;

/// The file Save writes without asking: the tab's project file when it is one, else empty.
QString projectFileOf(const TCloseTabSheet& tab);
/// The name Save proposes when it asks: the tab's file name with the ".vstl" extension.
QString proposedProjectName(const TCloseTabSheet& tab);
/// Writes every variant of `tab` (main first) to `path`, then makes `path` the tab's project
/// file and clears Modified. Throws ie::Error; a failed save changes nothing.
void saveTabAsProject(TCloseTabSheet& tab, const QString& path);

} // namespace vst::project
