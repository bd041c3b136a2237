#include "library/ui/LibraryStyle.h"

#include <QPalette>
#include <QWidget>

namespace furlox::ui {

void ApplyLibraryStyle(QWidget* window)
{
    QPalette palette = window->palette();
    const QColor charcoal(0x23, 0x26, 0x2B);
    const QColor navy(0x16, 0x22, 0x2E);
    const QColor cream(0xF5, 0xEC, 0xD4);
    palette.setColor(QPalette::Window, charcoal);
    palette.setColor(QPalette::WindowText, cream);
    palette.setColor(QPalette::Base, navy);
    palette.setColor(QPalette::AlternateBase, QColor(0x1D, 0x2C, 0x3A));
    palette.setColor(QPalette::Text, cream);
    palette.setColor(QPalette::Button, QColor(0x33, 0x37, 0x3E));
    palette.setColor(QPalette::ButtonText, cream);
    palette.setColor(QPalette::Highlight, QColor(0xD4, 0xA0, 0x17));
    palette.setColor(QPalette::HighlightedText, Qt::black);
    palette.setColor(QPalette::PlaceholderText, QColor(0xA0, 0x9A, 0x88));
    window->setPalette(palette);
    window->setAutoFillBackground(true);
    window->setStyleSheet(QStringLiteral(
        // The header's own background too: beyond the last column and below the last row
        // number the style would paint white.
        "QHeaderView { background: #101820; border: 0; }"
        "QHeaderView::section { background: #101820; color: #FFCC00; border: 0;"
        " border-right: 1px solid #3A3F46; border-bottom: 1px solid #D4A017; padding: 2px 6px; }"
        "QTableView, QListWidget { gridline-color: #3A3F46; border: 1px solid #D4A017;"
        " background: #16222E; alternate-background-color: #1D2C3A; color: #F5ECD4;"
        " selection-background-color: #D4A017; selection-color: black; }"
        "QTableView QTableCornerButton::section { background: #101820; border: 0; }"
        "QLabel, QCheckBox { color: #F5ECD4; }"
        "QMessageBox { background: #23262B; }"
        "QLabel#title { color: #FFCC00; }"
        "QPushButton { border: 1px solid #D4A017; border-radius: 3px; padding: 4px 12px;"
        " background: #33373E; color: #F5ECD4; }"
        "QPushButton:hover { background: #41464F; }"
        "QPushButton:pressed { background: #1D2C3A; }"
        "QPushButton:disabled { color: #7A7468; border-color: #6A5A2A; }"
        "QLineEdit { border: 1px solid #D4A017; padding: 3px; background: #16222E;"
        " color: #F5ECD4; }"));
}

} // namespace furlox::ui
