#include "skin/ui/CloseButton.h"

#include "base/ui/Pictures.h"
#include "skin/ui/EzRgnBtn.h"

namespace furlox::ui {

TEzRgnBtn* MakeCloseButton(QWidget* window)
{
    auto* button = new TEzRgnBtn(window);
    button->move(606, 7);
    button->SetPicIdle(ScreenPicture(QStringLiteral("close-idle.png")));
    button->SetPicUp(ScreenPicture(QStringLiteral("close-hover.png")));
    button->SetPicDown(ScreenPicture(QStringLiteral("close-down.png")));
    button->SetPaintMode(TPaintMode::pmCrop);
    button->setToolTip(QStringLiteral("閉じる"));
    return button;
}

} // namespace furlox::ui
