#include "app/ui/uniAbout.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QSysInfo>

#include "base/ui/Pictures.h"
#include "base/ui/QtText.h"

namespace furlox::ui {
namespace {

QLabel* Caption(QWidget* parent, const QString& text, int pixelSize, Qt::Alignment align,
                const QRect& place)
{
    auto* label = new QLabel(text, parent);
    label->setFont(ProportionalFont(pixelSize));
    label->setAlignment(align);
    label->setGeometry(place);
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setStyleSheet(QStringLiteral("color: #F0E6C8;"));
    return label;
}

// The platform the program runs on, as the about window names it.
QString PlatformName()
{
#if defined(Q_OS_WIN)
    return QStringLiteral("Windows");
#elif defined(Q_OS_MACOS)
    return QStringLiteral("macOS");
#elif defined(Q_OS_LINUX)
    return QStringLiteral("Linux");
#else
    const QString kernel = QSysInfo::kernelType();
    return kernel.isEmpty() ? QSysInfo::productType() : kernel;
#endif
}

} // namespace

TfrmAbout::TfrmAbout(QWidget* owner) : QDialog(owner, Qt::FramelessWindowHint | Qt::Dialog)
{
    setFixedSize(392, 270);
    auto* picture = new QLabel(this);
    picture->setGeometry(0, 0, 392, 270);
    picture->setPixmap(ScreenPixmap(QStringLiteral("about.png")));
    Caption(this, QStringLiteral("Furlox Plus Version 0.1"), 12, Qt::AlignLeft, {12, 8, 200, 16});
    Caption(this, QStringLiteral("競馬道OnLine Edition"), 12, Qt::AlignRight, {180, 8, 200, 16});
    Caption(this, QStringLiteral("for %1").arg(PlatformName()), 12, Qt::AlignCenter,
            {0, 222, 392, 16});
    Caption(this, QStringLiteral("Copyright (C) Morvane. All rights reserved."), 10,
            Qt::AlignCenter, {0, 242, 392, 14});
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->geometry().center() - rect().center());
    }
}

void TfrmAbout::mousePressEvent(QMouseEvent*)
{
    close();
}

void TfrmAbout::changeEvent(QEvent* event)
{
    // As a splash (not modal) it leaves once another window becomes active.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && !isModal() &&
        isVisible()) {
        close();
    }
    QDialog::changeEvent(event);
}

} // namespace furlox::ui
