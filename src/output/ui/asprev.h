#pragma once

#include <QDialog>
#include <QPageLayout>

#include "analysis/AnalysedRace.h"
#include "output/PrintLayout.h"

class QLabel;
class QPushButton;

namespace furlox::ui {

// The print preview: 674 × 552, the current page drawn scaled into its paint box on the paper
// of the printer chosen last, with the paper's outline. The page controls exist but are
// hidden, so it shows the first page.
class TPagePreview final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY(TPagePreview)
public:
    TPagePreview(const AnalysedRace& race, PrintSettings& settings, const QPageLayout& page,
                 QWidget* owner);

    int PreviewPage() const { return m_page; }
    // The printable area of the page, in tenths of a millimetre, as printing lays it out.
    QSize PageSize() const;
    int PageCount() const;
    // Where the last paint put the page, in the paint box's coordinates.
    QRect PaperRect() const { return m_paper; }
    QWidget* PaintBox1 = nullptr;
    QPushButton* Button1 = nullptr; // 前のページ
    QPushButton* Button2 = nullptr; // 次のページ
    QPushButton* Button3 = nullptr; // 閉じる
    QLabel* Label1 = nullptr;

    void Button1Click();
    void Button2Click();
    void PaintBox1Paint(QPainter& painter, const QRect& rect);

private:
    const AnalysedRace& m_race;
    PrintSettings& m_settings;
    QPageLayout m_layout;
    int m_page = 1;
    QRect m_paper;
};

} // namespace furlox::ui
