#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "output/RaceCard.h"

class QLabel;
class QPushButton;

namespace furlox::ui {

// The preview of the day's race card: the pages the printer gets, one at a time, with page
// buttons (also Page Up / Page Down, Home / End) and the print command.
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

    // Runs when the user asks to print; true when the card was printed, which closes the
    // preview. After a cancelled print dialog, or without a printer, the preview stays.
    std::function<bool()> onPrint;

    QWidget* paintBox = nullptr;
    QPushButton* btnPrev = nullptr;
    QPushButton* btnNext = nullptr;
    QPushButton* btnPrint = nullptr;
    QPushButton* btnClose = nullptr;
    QLabel* lblPage = nullptr;

    void PaintPage(QPainter& painter, const QRect& rect);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    const std::vector<RaceCardRace>& m_races;
    const RaceCardSettings& m_settings;
    QSize m_pageSize;
    std::vector<RaceCardPage> m_pages;
    int m_page = 1;
};

} // namespace furlox::ui
