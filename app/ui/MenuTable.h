// The main menu as one table: titles, items and submenu items with their action names and
// shortcuts, in menu order.
#pragma once

#include <QString>
#include <vector>

namespace vst::app {

/// One row of the menu table.
struct MenuEntry {
    int depth; ///< 0 a top-level title, 1 an item, 2 an item of the submenu above
    QString caption; ///< the English lookup key, with "..." when the item opens a dialog
    QString action; ///< the action's object name; empty for a separator
    QString shortcut;
    QString category; ///< the top-level title's category ("File", "Layers", "AI" ...)
    bool isSeparator() const { return action.isEmpty() && depth > 0; }
};

/// The rows in menu order.
const std::vector<MenuEntry>& menuTable();

/// The caption without its "..." ending, as it is looked up.
QString captionKey(const QString& caption);

/// Items whose submenus are filled at run time.
bool isRuntimeSubmenu(const QString& action);

} // namespace vst::app
