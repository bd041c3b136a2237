#pragma once

#include <QImage>
#include <QTimer>
#include <QWidget>

// A picture button with separate pictures for idle, hover, pressed and disabled. With the
// crop paint mode it cuts its outline from the idle picture (key colour: the top-left pixel).
namespace furlox::ui {

enum class TPaintMode
{
    pmNormal,
    pmCrop,
    pmTransparent,
};

class TEzRgnBtn final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(TEzRgnBtn)
public:
    explicit TEzRgnBtn(QWidget* parent = nullptr);

    bool AutoRepeat() const { return m_autoRepeat; }
    void SetAutoRepeat(bool on);
    // The button's own flag, separate from the widget's enabled state: a button that is not
    // Enabled still follows the mouse, shows its disabled picture and never clicks.
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool on);
    bool Disabled() const { return !m_enabled; }

    const QImage& PicIdle() const { return m_picIdle; }
    void SetPicIdle(const QImage& picture);
    void SetPicDown(const QImage& picture);
    void SetPicUp(const QImage& picture);
    void SetPicDsbld(const QImage& picture);

    TPaintMode PaintMode() const { return m_paintMode; }
    void SetPaintMode(TPaintMode mode);

    // The picture a paint would show now.
    const QImage& CurrentPicture() const;

    bool MouseInside() const { return m_mouseInside; }
    bool ButtonDown() const { return m_buttonDown; }
    bool Cropped() const { return m_cropped; }
    bool RepeatActive() const { return m_repeatTimer.isActive(); }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void SetMouseInside(bool inside);
    void UpdateRepeatTimer();
    void ApplyCrop();
    void RemoveCrop();
    void Click();
    void Refresh();

    QImage m_picIdle;
    QImage m_picDown;
    QImage m_picUp;
    QImage m_picDsbld;
    TPaintMode m_paintMode = TPaintMode::pmNormal;
    bool m_autoRepeat = false;
    bool m_enabled = true;
    bool m_mouseInside = false;
    bool m_buttonDown = false;
    bool m_cropped = false;
    QTimer m_repeatTimer;
};

} // namespace furlox::ui
