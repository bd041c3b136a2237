#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

#include "skin/ProgressGeometry.h"

// A progress bar drawing a solid, gradient, block or picture bar between bevels, with an
// optional centred percentage or position. Every paint draws the whole control into an
// off-screen image and copies it in one step, so a half-drawn bar is never seen.
namespace furlox::ui {

using skin::TdxfBevelOuter;
using skin::TdxfPBOrientation;
using skin::TdxfPBStyle;
using skin::TdxfShowTextStyle;

class TdxfProgressBar final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(TdxfProgressBar)
public:
    explicit TdxfProgressBar(QWidget* parent = nullptr);

    TdxfBevelOuter BevelOuter() const { return m_bar.bevelOuter; }
    void SetBevelOuter(TdxfBevelOuter bevel);
    TdxfBevelOuter BarBevelOuter() const { return m_bar.barBevelOuter; }
    void SetBarBevelOuter(TdxfBevelOuter bevel);
    TdxfPBOrientation Orientation() const { return m_bar.orientation; }
    void SetOrientation(TdxfPBOrientation orientation);

    int Max() const { return m_bar.max; }
    void SetMax(int max); // ignored below Min
    int Min() const { return m_bar.min; }
    void SetMin(int min); // ignored above Max
    // Not held within Min..Max: the bar stops at its ends, the percentage may pass 100.
    int Position() const { return m_bar.position; }
    void SetPosition(int position);
    int Step() const { return m_step; }
    void SetStep(int step) { m_step = step; }

    bool ShowText() const { return m_showText; }
    void SetShowText(bool show);
    TdxfShowTextStyle ShowTextStyle() const { return m_showTextStyle; }
    void SetShowTextStyle(TdxfShowTextStyle style);
    // The text shown now ("57 %" or the position), shown or not.
    QString Text() const;

    QColor BeginColor() const;
    void SetBeginColor(const QColor& color);
    QColor EndColor() const;
    void SetEndColor(const QColor& color);
    TdxfPBStyle Style() const { return m_bar.style; }
    void SetStyle(TdxfPBStyle style);
    QColor Color() const;
    void SetColor(const QColor& color);
    QColor FontColor() const { return m_fontColor; }
    void SetFontColor(const QColor& color);

    // A glyph that is not empty makes the bar as thick as the glyph plus the bevels.
    const QImage& Glyph() const { return m_glyph; }
    void SetGlyph(const QImage& glyph);
    // A transparent glyph leaves out the pixels of its bottom-left pixel's colour.
    bool TransparentGlyph() const { return m_transparentGlyph; }
    void SetTransparentGlyph(bool transparent);

    // The settings the picture is computed from (the geometry of the core).
    skin::BarSettings Settings() const;

    // The whole control as painted, for the paint handler and for inspection.
    QImage Render() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QRect TextRect(const QString& text) const;
    void PrepareGlyph();

    skin::BarSettings m_bar;
    int m_step = 10;
    bool m_showText = false;
    TdxfShowTextStyle m_showTextStyle = TdxfShowTextStyle::stsPercent;
    QColor m_fontColor = Qt::black;
    QImage m_glyph;
    QImage m_drawnGlyph; // m_glyph with its key colour cleared when transparent
    bool m_transparentGlyph = true;
};

} // namespace furlox::ui
