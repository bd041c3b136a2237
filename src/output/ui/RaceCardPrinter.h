#pragma once

#include <QPageLayout>
#include <QSize>
#include <filesystem>
#include <vector>

#include "output/RaceCard.h"

class QPagedPaintDevice;
class QPainter;
class QRect;

// Drawing the day's race card (laid out by the core) on a printer, a PDF or the preview.
namespace furlox::ui {

// The race card's page: A4 landscape with 10 mm margins, the PDF's and the preview's page
// when no printer says otherwise.
QPageLayout RaceCardPageLayout();

// The printable area of a page layout, in tenths of a millimetre.
QSize PrintableTenths(const QPageLayout& layout);

// Draws one laid-out page; the painter's coordinates are tenths of a millimetre.
void DrawRaceCardPage(QPainter& painter, const std::vector<RaceCardRace>& races,
                      const RaceCardPage& page, const RaceCardSettings& settings);

// Draws one page scaled into `target` (device pixels), keeping the page's proportions.
void DrawRaceCardPageInto(QPainter& painter, const QRect& target, QSize pageSize,
                          const std::vector<RaceCardRace>& races, const RaceCardPage& page,
                          const RaceCardSettings& settings);

// Lays the card out on the device's page and draws pages `from` to `to` (1-based). False
// when the device cannot start; nothing is drawn then.
bool PaintRaceCard(QPagedPaintDevice& device, const std::vector<RaceCardRace>& races,
                   const RaceCardSettings& settings, int from, int to);

// The card as a PDF file (real text, the Japanese font embedded), written whole or not at
// all; throws furlox::Error "ファイル <path> を作成できません" when it cannot be written.
void WriteRaceCardPdf(const std::filesystem::path& path, const std::vector<RaceCardRace>& races,
                      const RaceCardSettings& settings);

} // namespace furlox::ui
