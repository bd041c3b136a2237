#pragma once

class QWidget;

namespace furlox::ui {

// The skin's colours on a window of ordinary widgets: charcoal surfaces, gold rules and
// headers, cream text, as the program's skinned windows have them.
void ApplyLibraryStyle(QWidget* window);

} // namespace furlox::ui
