#pragma once

class QWidget;

namespace furlox::ui {

class TEzRgnBtn;

// The 14 × 13 close button at the top right (606, 7) of a skinned window, hint "閉じる".
TEzRgnBtn* MakeCloseButton(QWidget* window);

} // namespace furlox::ui
