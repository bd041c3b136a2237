#include "skin/ui/dxfLabel.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

namespace furlox::ui {
namespace {

skin::Rgb ToRgb(const QColor& color)
{
    return static_cast<skin::Rgb>(color.rgb() & 0xFFFFFFu);
}

QColor ToQColor(skin::Rgb rgb)
{
    return QColor::fromRgb(static_cast<QRgb>(rgb));
}

// The one off-screen image every label paints into; it only ever grows, to the largest label
// painted, so painting allocates nothing once the largest label has been seen.
QImage& WorkBitmap()
{
    static QImage work;
    return work;
}

void GrowWorkBitmap(const QSize& size)
{
    QImage& work = WorkBitmap();
    if (work.width() >= size.width() && work.height() >= size.height()) {
        return;
    }
    work = QImage(std::max(work.width(), size.width()), std::max(work.height(), size.height()),
                  QImage::Format_ARGB32);
}

int FontPoints(const QFont& font)
{
    if (font.pixelSize() > 0) {
        return skin::PointsFromPixels(font.pixelSize());
    }
    return qRound(font.pointSizeF());
}

} // namespace

void Tdxf3DEffect::SetStyle(TdxfEffectStyle style)
{
    if (style != m_style) {
        m_style = style;
        Changed();
    }
}

void Tdxf3DEffect::SetOrientation(TdxfOrientation orientation)
{
    if (orientation != m_orientation) {
        m_orientation = orientation;
        Changed();
    }
}

void Tdxf3DEffect::SetDepth(std::uint16_t depth)
{
    if (depth != m_depth) {
        m_depth = depth;
        Changed();
    }
}

void Tdxf3DEffect::SetShadowedColor(const QColor& color)
{
    if (color != m_shadowedColor) {
        m_shadowedColor = color;
        Changed();
    }
}

void Tdxf3DEffect::Changed()
{
    if (m_owner) {
        m_owner->update();
    }
}

TdxfLabel::TdxfLabel(QWidget* parent) : QWidget(parent), m_effect3D(this) {}

void TdxfLabel::Changed()
{
    if (m_autoSize) {
        FitText();
    }
    update();
}

void TdxfLabel::FitText()
{
    const QFontMetrics metrics(font());
    resize(metrics.horizontalAdvance(m_caption), metrics.height());
}

void TdxfLabel::SetCaption(const QString& caption)
{
    if (caption != m_caption) {
        m_caption = caption;
        Changed();
    }
}

void TdxfLabel::SetStyle(TdxfLabelStyle style)
{
    m_style = style;
    update();
}

void TdxfLabel::SetAngle(int angle)
{
    // Only an outline font can be turned; Qt's fonts all are, so no angle is refused for the
    // font's sake.
    if (angle < 0 || angle > 360 || angle == m_angle) {
        return;
    }
    m_angle = angle;
    update();
}

void TdxfLabel::SetGlyph(const QImage& glyph)
{
    m_glyph = glyph;
    update();
}

void TdxfLabel::SetPenWidth(int width)
{
    if (width != m_penWidth) {
        m_penWidth = width;
        if (m_style == TdxfLabelStyle::dxfOutLine) {
            update();
        }
    }
}

void TdxfLabel::SetAutoSize(bool on)
{
    m_autoSize = on;
    if (on) {
        FitText();
    }
}

QColor TdxfLabel::Color() const
{
    if (!m_parentColor) {
        return m_color;
    }
    const QWidget* source = parentWidget() ? parentWidget() : this;
    return source->palette().color(QPalette::Window);
}

void TdxfLabel::SetColor(const QColor& color)
{
    m_color = color;
    m_parentColor = false;
    update();
}

void TdxfLabel::SetParentColor(bool on)
{
    if (on != m_parentColor) {
        if (!on) {
            m_color = Color();
        }
        m_parentColor = on;
        update();
    }
}

void TdxfLabel::SetFontColor(const QColor& color)
{
    if (color != m_fontColor) {
        m_fontColor = color;
        update();
    }
}

void TdxfLabel::SetTransparent(bool on)
{
    if (on != m_transparent) {
        m_transparent = on;
        update();
    }
}

QSize TdxfLabel::WorkBitmapSize()
{
    return WorkBitmap().size();
}

bool TdxfLabel::PaintWork()
{
    const int w = width();
    const int h = height();
    if (w <= 0 || h <= 0) {
        return false;
    }
    GrowWorkBitmap(size());
    QImage& work = WorkBitmap();

    const QFont labelFont = font();
    const QFontMetrics metrics(labelFont);
    const bool glyphFill = !m_glyph.isNull();
    const int textWidth = metrics.horizontalAdvance(m_caption);
    const int textHeight = metrics.height();
    const int angle = skin::NormalisedAngle(m_angle);
    const skin::Point origin = skin::LabelTextOrigin(w, h, textWidth, textHeight, m_angle);

    // The caption's outline with its origin at (x, y), turned by the angle.
    auto captionPath = [&](int x, int y) {
        QPainterPath text;
        text.addText(0, metrics.ascent(), labelFont, m_caption);
        QTransform turn;
        turn.translate(x, y);
        turn.rotate(-angle);
        return turn.map(text);
    };

    QPainter painter(&work);
    painter.setClipRect(0, 0, w, h);
    const QColor background = Color();
    painter.fillRect(0, 0, w, h, background);
    painter.setFont(labelFont);
    auto drawCaption = [&](const skin::Point& offset, const QColor& color) {
        painter.save();
        painter.translate(origin.x + offset.x, origin.y + offset.y);
        painter.rotate(-angle);
        painter.setPen(color);
        painter.drawText(0, metrics.ascent(), m_caption);
        painter.restore();
    };
    auto colorOf = [&](const skin::CaptionCopy& copy) {
        return copy.role == skin::CaptionCopy::Color::Font ? m_fontColor : ToQColor(copy.color);
    };

    // The label's own colour counts as a system colour while it follows its parent; a fun
    // shadow then fades toward silver.
    const skin::Rgb fadeTo = m_parentColor ? skin::kSilver : ToRgb(background);
    for (const skin::CaptionCopy& copy :
         skin::ShadowCopies(m_effect3D.Style(), m_effect3D.Orientation(), m_effect3D.Depth(),
                            ToRgb(m_effect3D.ShadowedColor()), fadeTo)) {
        drawCaption(copy.offset, colorOf(copy));
    }

    if (m_style == TdxfLabelStyle::dxfLowered && !m_parentColor) {
        // A lowered caption always sits on its parent's colour (which also repaints the
        // label on that colour).
        SetParentColor(true);
    }
    skin::LabelLook look;
    look.style = m_style;
    look.glyphFill = glyphFill;
    look.fontPoints = FontPoints(labelFont);
    look.systemColor = m_parentColor;
    look.color = ToRgb(Color());
    for (const skin::CaptionCopy& copy : skin::StyleCopies(look)) {
        if (m_style == TdxfLabelStyle::dxfOutLine) {
            painter.save();
            painter.setRenderHint(QPainter::Antialiasing);
            painter.strokePath(captionPath(origin.x + copy.offset.x, origin.y + copy.offset.y),
                               QPen(colorOf(copy), m_penWidth));
            painter.restore();
        } else {
            drawCaption(copy.offset, colorOf(copy));
        }
    }

    if (glyphFill) {
        const skin::Point at = skin::GlyphFillOffset(m_style);
        painter.save();
        painter.setClipPath(captionPath(origin.x + at.x, origin.y + at.y), Qt::IntersectClip);
        for (int x = 0; x < w; x += m_glyph.width()) {
            for (int y = 0; y < h; y += m_glyph.height()) {
                painter.drawImage(x, y, m_glyph);
            }
        }
        painter.restore();
    }
    painter.end();

    if (m_transparent) {
        // Cleared in place: the next paint fills the area again anyway.
        const QRgb key = background.rgb() & 0xFFFFFFu;
        for (int y = 0; y < h; ++y) {
            auto* line = reinterpret_cast<QRgb*>(work.scanLine(y));
            for (int x = 0; x < w; ++x) {
                if ((line[x] & 0xFFFFFFu) == key) {
                    line[x] = 0;
                }
            }
        }
    }
    return true;
}

QImage TdxfLabel::Render()
{
    return PaintWork() ? WorkBitmap().copy(0, 0, width(), height()) : QImage();
}

void TdxfLabel::paintEvent(QPaintEvent*)
{
    if (PaintWork()) {
        QPainter painter(this);
        painter.drawImage(QPoint(0, 0), WorkBitmap(), QRect(0, 0, width(), height()));
    }
}

void TdxfLabel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) {
        Changed();
    }
    QWidget::changeEvent(event);
}

} // namespace furlox::ui
