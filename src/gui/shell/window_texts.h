// Re-labelling of a window from its section of the active language file: captions of labels,
// pages, group boxes, check boxes and menu entries, captions or tooltips of buttons, the panels
// of a status bar and the columns of a list view.
#pragma once

#include "shell/ini_file.h"

class QWidget;

namespace quillo {

struct Context;

// Applies the pairs to the window itself and to every child (widget or menu action) whose object
// name is a key, letter case ignored; the first pair of a name wins. Labels, tab pages, group
// boxes, check boxes, radio buttons, menu actions and the window take the value as caption; other
// buttons as caption when characters 3 and 4 of the name are "Ca", else as tooltip; a status bar
// gives field i + 1 (cut at "\xA6") to its panel i and a list view to its column i, missing fields
// giving empty texts. Every other kind of control keeps its texts. "\xA6" in a caption or tooltip
// is a line break.
void TranslateWindow(QWidget* window, const IniPairs& pairs);

// The window's section of the active language (nothing without a language).
void TranslateWindow(QWidget* window, const Context& ctx, const char* section);

}  // namespace quillo
