#pragma once

#include <QDialog>

namespace furlox::ui {

// The about window: 392 × 270, no border, centred; doubles as the start-up splash. A click
// on the picture closes it; it goes away by itself when it loses activation.
class TfrmAbout final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY(TfrmAbout)
public:
    explicit TfrmAbout(QWidget* owner = nullptr);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
};

} // namespace furlox::ui
