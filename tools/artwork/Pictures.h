#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <functional>
#include <vector>

#include <QPainterPath>

// Every picture of the skin, each drawn at `scale` device pixels per designed pixel (1, or 2
// for the "@2x" set of high-density screens).
namespace artwork {

// The main window

// The background, its panels' recesses and the tray of the buttons where the window puts them
// (app/MainWindowLayout.h).
QImage MainBackground(int scale);

// The system icon is cut from the finished background so it sits seamlessly on the strip.
QImage SystemIcon(const QImage& mainBackground);

// Buttons

enum class ButtonState
{
    Idle,
    Hover,
    Down,
    Disabled
};

struct ButtonDesign
{
    const char* name;
    QString caption;
    std::function<QPainterPath()> icon;
    bool latinCaption;
    QSize size{64, 65}; // designed pixels
};

// The seven region buttons of the main window, in the order of its button table.
std::vector<ButtonDesign> ButtonDesigns();

// The main window's narrower library button.
ButtonDesign LibraryButtonDesign();

QImage RegionButton(int scale, const ButtonDesign& design, ButtonState state);

// Close button

QImage CloseButton(int scale, ButtonState state);

// Panels of the main window

QImage TitlePanel(int scale);

QImage GridPanel(int scale);

QImage BetsPanel(int scale);

// Confidence grade pictures

struct GradeDesign
{
    const char* name;
    QString letter; // empty for the no-bet picture
    QColor top, bottom, rim;
    int stars;
};

QImage GradePicture(int scale, const GradeDesign& g);

// About window

QImage AboutPicture(int scale);

// Detail window

QImage DetailBackground(int scale);

QImage DetailPanel(int scale);

QImage CoatPicture(int scale, int index);

// Progress dialog

QImage ProgressBackground(int scale);

// Program icon

// At the designed size only: the icon has sizes of its own.
QImage AppIcon(int size);

} // namespace artwork
