// How a pixel operation honours a selection: it works on the selection's bounds and the
// unselected part is restored afterwards, weighted by the mask's soft edge.
#pragma once

#include "document/Selection.h"
#include "imaging/Bitmap.h"

namespace ie::proc {

/// The rectangle an operation needs to touch: the selection's bounds, or the whole image when
/// there is no selection or it is empty. Throws when a selection's canvas differs from the image.
Rect workRect(const Bitmap& image, const Selection* selection);

/// Mixes `before` back into `image` inside `rect` by the selection strength: 255 keeps the edited
/// pixel, 0 restores the old one, values between blend (palette and 1-bit images pick the nearer).
/// The alpha plane is mixed the same way. Pixels outside `rect` are not looked at.
void restoreUnselected(Bitmap& image, const Bitmap& before, const Selection& selection, Rect rect);

/// Runs `edit(image, rect)` and then restores what the selection leaves out. `edit` must change
/// pixels only inside `rect`. Without a selection the edit runs on the whole image, no copy made.
template <class Edit> void editSelected(Bitmap& image, const Selection* selection, Edit&& edit) {
    const Rect rect = workRect(image, selection);
    if (!selection || selection->isEmpty()) {
        edit(image, rect);
        return;
    }
    const Bitmap before = image; // copy-on-write: only strips the edit writes are copied
    edit(image, rect);
    restoreUnselected(image, before, *selection, rect);
}

} // namespace ie::proc
