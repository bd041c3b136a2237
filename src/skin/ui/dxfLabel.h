#pragma once

#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>
#include <QWidget>
#include <cstdint>

#include "skin/LabelGeometry.h"

// A label that draws its caption turned by an angle, raised, lowered or outlined, with a 3D
// shadow, optionally filling the letters with a picture. All labels paint into one shared
// off-screen image and copy it to the screen in one step.
//
// Qt draws every font from its outlines, so every font counts as a TrueType font here: the
// angle is always accepted, and outlining and glyph filling always apply.
namespace furlox::ui {

using skin::TdxfEffectStyle;
using skin::TdxfLabelStyle;
using skin::TdxfOrientation;

// The 3D effect of a label; each change repaints the label that owns it.
class Tdxf3DEffect final
{
public:
    explicit Tdxf3DEffect(QWidget* owner) : m_owner(owner) {}
    Tdxf3DEffect(const Tdxf3DEffect&) = delete;
    Tdxf3DEffect& operator=(const Tdxf3DEffect&) = delete;

    TdxfEffectStyle Style() const { return m_style; }
    void SetStyle(TdxfEffectStyle style);
    TdxfOrientation Orientation() const { return m_orientation; }
    void SetOrientation(TdxfOrientation orientation);
    std::uint16_t Depth() const { return m_depth; }
    void SetDepth(std::uint16_t depth);
    QColor ShadowedColor() const { return m_shadowedColor; }
    void SetShadowedColor(const QColor& color);

private:
    void Changed();

    QWidget* m_owner;
    TdxfEffectStyle m_style = TdxfEffectStyle::dxfCool;
    TdxfOrientation m_orientation = TdxfOrientation::dxfRightBottom;
    std::uint16_t m_depth = 0;
    QColor m_shadowedColor = QColor(0x80, 0x80, 0x80);
};

class TdxfLabel final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(TdxfLabel)
public:
    explicit TdxfLabel(QWidget* parent = nullptr);

    QString Caption() const { return m_caption; }
    void SetCaption(const QString& caption);

    TdxfLabelStyle Style() const { return m_style; }
    void SetStyle(TdxfLabelStyle style);
    // Degrees counter-clockwise; values outside 0..360 are ignored.
    int Angle() const { return m_angle; }
    void SetAngle(int angle);
    Tdxf3DEffect& Effect3D() { return m_effect3D; }
    const Tdxf3DEffect& Effect3D() const { return m_effect3D; }
    // Fills the letters when not empty.
    const QImage& Glyph() const { return m_glyph; }
    void SetGlyph(const QImage& glyph);
    int PenWidth() const { return m_penWidth; }
    void SetPenWidth(int width);
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool on);

    // The label's colour: its own once set, else its parent's (which stands for the system
    // colour a label has by default).
    QColor Color() const;
    void SetColor(const QColor& color);
    bool ParentColor() const { return m_parentColor; }
    void SetParentColor(bool on);
    QColor FontColor() const { return m_fontColor; }
    void SetFontColor(const QColor& color);
    // A transparent label leaves out the pixels of its own colour, so the parent shows there.
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool on);

    // The label as painted, its own colour already left out when transparent.
    QImage Render();

    // The size of the off-screen image all labels share.
    static QSize WorkBitmapSize();

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Changed();
    void FitText();
    // Paints the label into the top-left corner of the shared image; false when it has no
    // area.
    bool PaintWork();

    QString m_caption;
    TdxfLabelStyle m_style = TdxfLabelStyle::dxfNormal;
    int m_angle = 0;
    Tdxf3DEffect m_effect3D;
    QImage m_glyph;
    int m_penWidth = 1;
    bool m_autoSize = false;
    QColor m_color;
    bool m_parentColor = true;
    QColor m_fontColor = Qt::black;
    bool m_transparent = false;
};

} // namespace furlox::ui
