#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "output/RaceCard.h"

class QLabel;
class QPushButton;
class QScrollArea;

namespace furlox::ui {

// The preview of the day's race card: the pages the printer gets, one at a time, with page
// buttons (also Page Up / Page Down, Home / End), zoom (the whole page, the page's width,
// its real size, larger and smaller, also Ctrl + the mouse wheel and Ctrl + / Ctrl − /
// Ctrl 0) and the print command.
class RaceCardPreview final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY(RaceCardPreview)
public:
    // `pageSize` is the printable area in tenths of a millimetre.
    RaceCardPreview(const std::vector<RaceCardRace>& races, const RaceCardSettings& settings,
                    QSize pageSize, QWidget* owner);

    int PageCount() const { return static_cast<int>(m_pages.size()); }
    int CurrentPage() const { return m_page; } // 1-based
    const std::vector<RaceCardPage>& Pages() const { return m_pages; }
    void ShowPage(int page);

    enum class Zoom
    {
        WholePage, // the page fits the window
        PageWidth, // the page's width fits the window; it scrolls up and down
        Scaled,    // a scale of its own (100 % is the page's real size)
    };
    Zoom ZoomMode() const { return m_zoom; }
    // The page's scale against its real size on this screen: 1.0 is 100 %.
    double ZoomFactor() const;
    void SetZoom(Zoom zoom, double factor = 1.0);
    void ZoomIn();
    void ZoomOut();

    // Runs when the user asks to print; true when the card was printed, which closes the
    // preview. After a cancelled print dialog, or without a printer, the preview stays.
    std::function<bool()> onPrint;

    QWidget* paintBox = nullptr;
    QScrollArea* scrollArea = nullptr;
    QPushButton* btnPrev = nullptr;
    QPushButton* btnNext = nullptr;
    QPushButton* btnWholePage = nullptr;
    QPushButton* btnPageWidth = nullptr;
    QPushButton* btnRealSize = nullptr;
    QPushButton* btnZoomIn = nullptr;
    QPushButton* btnZoomOut = nullptr;
    QPushButton* btnPrint = nullptr;
    QPushButton* btnClose = nullptr;
    QLabel* lblPage = nullptr;
    QLabel* lblZoom = nullptr;

    void PaintPage(QPainter& painter, const QRect& rect);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Device pixels per tenth of a millimetre at the real size.
    double RealScale() const;
    // Device pixels per tenth of a millimetre now.
    double Scale() const;
    void UpdatePaintBox();

    const std::vector<RaceCardRace>& m_races;
    const RaceCardSettings& m_settings;
    QSize m_pageSize;
    std::vector<RaceCardPage> m_pages;
    int m_page = 1;
    Zoom m_zoom = Zoom::PageWidth;
    double m_factor = 1.0; // for Zoom::Scaled
};

} // namespace furlox::ui
