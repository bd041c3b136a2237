#include "skin/ui/dxfProgressBar.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>

namespace furlox::ui {
namespace {

QColor ToQColor(skin::Rgb rgb)
{
    return QColor::fromRgb(static_cast<QRgb>(rgb));
}

skin::Rgb ToRgb(const QColor& color)
{
    return static_cast<skin::Rgb>(color.rgb() & 0xFFFFFFu);
}

QRect ToQRect(const skin::Rect& r)
{
    return QRect(r.left, r.top, r.Width(), r.Height());
}

QString FromCore(const std::string& ascii)
{
    return QString::fromLatin1(ascii.data(), static_cast<qsizetype>(ascii.size()));
}

} // namespace

TdxfProgressBar::TdxfProgressBar(QWidget* parent) : QWidget(parent)
{
    resize(150, 16);
    // Every pixel is painted from the off-screen image; nothing needs erasing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

skin::BarSettings TdxfProgressBar::Settings() const
{
    skin::BarSettings bar = m_bar;
    bar.width = width();
    bar.height = height();
    bar.glyphWidth = m_glyph.width();
    bar.glyphHeight = m_glyph.height();
    return bar;
}

void TdxfProgressBar::SetBevelOuter(TdxfBevelOuter bevel)
{
    if (bevel != m_bar.bevelOuter) {
        m_bar.bevelOuter = bevel;
        update();
    }
}

void TdxfProgressBar::SetBarBevelOuter(TdxfBevelOuter bevel)
{
    if (bevel != m_bar.barBevelOuter) {
        m_bar.barBevelOuter = bevel;
        update();
    }
}

void TdxfProgressBar::SetOrientation(TdxfPBOrientation orientation)
{
    if (orientation != m_bar.orientation) {
        m_bar.orientation = orientation;
        update();
    }
}

void TdxfProgressBar::SetMax(int max)
{
    if (max != m_bar.max && max >= m_bar.min) {
        m_bar.max = max;
        update();
    }
}

void TdxfProgressBar::SetMin(int min)
{
    if (min != m_bar.min && min <= m_bar.max) {
        m_bar.min = min;
        update();
    }
}

QRect TdxfProgressBar::TextRect(const QString& text) const
{
    const QFontMetrics metrics(font());
    return ToQRect(
        skin::BarTextRect(Settings(), metrics.horizontalAdvance(text), metrics.height()));
}

void TdxfProgressBar::SetPosition(int position)
{
    if (position == m_bar.position) {
        return;
    }
    const int oldPosition = m_bar.position;
    const QString oldText = Text();
    m_bar.position = position;
    // Only the strip between the two bar ends changes, and the text.
    QRect changed = ToQRect(skin::PositionRepaintRect(Settings(), oldPosition));
    if (m_showText) {
        changed |= TextRect(FromCore(skin::WidestBarText(m_showTextStyle, Settings())));
        changed |= TextRect(oldText);
        changed |= TextRect(Text());
    }
    update(changed & rect());
}

void TdxfProgressBar::SetShowText(bool show)
{
    if (show != m_showText) {
        m_showText = show;
        update();
    }
}

void TdxfProgressBar::SetShowTextStyle(TdxfShowTextStyle style)
{
    if (style != m_showTextStyle) {
        m_showTextStyle = style;
        if (m_showText) {
            update();
        }
    }
}

QString TdxfProgressBar::Text() const
{
    return FromCore(skin::BarText(m_showTextStyle, Settings()));
}

QColor TdxfProgressBar::BeginColor() const
{
    return ToQColor(m_bar.beginColor);
}

void TdxfProgressBar::SetBeginColor(const QColor& color)
{
    if (ToRgb(color) != m_bar.beginColor) {
        m_bar.beginColor = ToRgb(color);
        if (m_bar.style != TdxfPBStyle::sPictures) {
            update();
        }
    }
}

QColor TdxfProgressBar::EndColor() const
{
    return ToQColor(m_bar.endColor);
}

void TdxfProgressBar::SetEndColor(const QColor& color)
{
    if (ToRgb(color) != m_bar.endColor) {
        m_bar.endColor = ToRgb(color);
        if (m_bar.style == TdxfPBStyle::sExSolid || m_bar.style == TdxfPBStyle::sExRectangles) {
            update();
        }
    }
}

void TdxfProgressBar::SetStyle(TdxfPBStyle style)
{
    if (style != m_bar.style) {
        m_bar.style = style;
        update();
    }
}

QColor TdxfProgressBar::Color() const
{
    return ToQColor(m_bar.color);
}

void TdxfProgressBar::SetColor(const QColor& color)
{
    if (ToRgb(color) != m_bar.color) {
        m_bar.color = ToRgb(color);
        update();
    }
}

void TdxfProgressBar::SetFontColor(const QColor& color)
{
    if (color != m_fontColor) {
        m_fontColor = color;
        update();
    }
}

void TdxfProgressBar::SetGlyph(const QImage& glyph)
{
    m_glyph = glyph;
    if (!m_glyph.isNull() && m_glyph.width() > 0 && m_glyph.height() > 0) {
        if (m_bar.orientation == TdxfPBOrientation::orHorizontal) {
            resize(width(), m_glyph.height() + 4);
        } else {
            resize(m_glyph.width() + 4, height());
        }
    }
    PrepareGlyph();
    update();
}

void TdxfProgressBar::SetTransparentGlyph(bool transparent)
{
    if (transparent != m_transparentGlyph) {
        m_transparentGlyph = transparent;
        PrepareGlyph();
        update();
    }
}

void TdxfProgressBar::PrepareGlyph()
{
    if (m_glyph.isNull()) {
        m_drawnGlyph = QImage();
        return;
    }
    m_drawnGlyph = m_glyph.convertToFormat(QImage::Format_ARGB32);
    if (!m_transparentGlyph) {
        return;
    }
    const QRgb key = m_drawnGlyph.pixel(0, m_drawnGlyph.height() - 1) & 0xFFFFFFu;
    for (int y = 0; y < m_drawnGlyph.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(m_drawnGlyph.scanLine(y));
        for (int x = 0; x < m_drawnGlyph.width(); ++x) {
            if ((line[x] & 0xFFFFFFu) == key) {
                line[x] = 0;
            }
        }
    }
}

QImage TdxfProgressBar::Render() const
{
    QImage image(size(), QImage::Format_RGB32);
    if (image.isNull()) {
        return image;
    }
    QPainter painter(&image);
    const skin::BarSettings bar = Settings();
    for (const skin::PaintOp& op : skin::BarPaintOps(bar)) {
        const QRect area = ToQRect(op.rect);
        if (op.kind == skin::PaintOp::Kind::Fill) {
            painter.fillRect(area, ToQColor(op.color));
        } else {
            painter.save();
            painter.setClipRect(area);
            painter.drawImage(area.topLeft(), m_drawnGlyph);
            painter.restore();
        }
    }
    if (m_showText) {
        const QString text = Text();
        const QFontMetrics metrics(font());
        const skin::Point origin =
            skin::BarTextOrigin(bar, metrics.horizontalAdvance(text), metrics.height());
        painter.setFont(font());
        painter.setPen(m_fontColor);
        painter.translate(origin.x, origin.y);
        if (!bar.Horizontal()) {
            // Reading downwards: the text's top faces right.
            painter.rotate(90);
        }
        painter.drawText(0, metrics.ascent(), text);
    }
    return image;
}

void TdxfProgressBar::paintEvent(QPaintEvent* event)
{
    const QImage image = Render();
    QPainter painter(this);
    painter.drawImage(event->rect(), image, event->rect());
}

void TdxfProgressBar::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) {
        update();
    }
    QWidget::changeEvent(event);
}

} // namespace furlox::ui
