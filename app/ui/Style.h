// The program's visual style: Fusion with a dark palette and a style sheet in the program's
// colours.
#pragma once

class QApplication;

namespace vst::app {

/// Applies the dark style to the whole application. Safe to call before any window exists.
void applyPhotoEditorStyle(QApplication& app);

} // namespace vst::app
