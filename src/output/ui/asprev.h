#pragma once

#include <QDialog>

#include "analysis/AnalysedRace.h"
#include "output/PrintLayout.h"

class QLabel;
class QPushButton;

namespace furlox::ui {

// The print preview: 674 × 552, the current page drawn scaled into its paint box. The page
// controls exist but are hidden, so it shows the first page.
class TPagePreview final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY(TPagePreview)
public:
    TPagePreview(const AnalysedRace& race, PrintSettings& settings, QWidget* owner);

    int PreviewPage() const { return m_page; }
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
    int m_page = 1;
};

} // namespace furlox::ui
