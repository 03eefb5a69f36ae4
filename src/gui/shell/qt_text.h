// The border between the program's Windows-1252 texts and the QString of the widgets.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace quillo {

// A Windows-1252 text for a widget.
QString ToQt(std::string_view cp1252);
// A widget's text as Windows-1252 ("?" for what the code page cannot write).
std::string FromQt(const QString& text);

}  // namespace quillo
