#pragma once

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <cstdint>

// Motifs: the horseshoe and the horse's head the pictures are made of, and the coats.
namespace artwork {

// A horseshoe, toe up, in a box of the given size.
QPainterPath Horseshoe(QRectF box);

// The nail holes of the horseshoe above.
QPainterPath HorseshoeNails(QRectF box);

// A horse's head and neck in profile, facing left, in a 100 x 134 box.
QPainterPath HorseBust();

QPainterPath HorseFarEar();

// Mane along the crest: a band whose inner edge is ragged.
QPainterPath HorseMane();

// The eye, an almond tilted along the face.
QPainterPath HorseEye();

struct Coat
{
    QColor body;    // the lit side of the coat
    QColor shade;   // the coat in shadow
    QColor mane;    // mane and forelock
    QColor muzzle;  // muzzle and ear tips
    QColor outline; // contour, so the picture stands on a white panel
    enum Pattern
    {
        Plain,
        Roan,
        Dapple
    } pattern = Plain;
    QColor head; // roans keep a solid-coloured head
    bool star = false;
};

// The coats in the order the detail window numbers its pictures.
inline constexpr int kCoatCount = 11;
extern const Coat kCoats[kCoatCount];

// Paints the bust into a 100 x 134 coordinate box (the caller scales).
void PaintHorse(QPainter& p, const Coat& coat, std::uint32_t seed);

} // namespace artwork
