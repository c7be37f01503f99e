// What Qt 5.15 (the static Qt of the 32-bit Windows build, which runs on Windows 7) and Qt 6 (Linux) spell
// differently, spelled once, so that the window's code reads the same for both.
#pragma once

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPoint>

// The label's picture, by value; empty when it shows none.
inline QPixmap LabelPixmap(const QLabel& label)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return label.pixmap();
#else
    return label.pixmap(Qt::ReturnByValue);
#endif
}

// Where the mouse was, in the receiving widget's coordinates.
inline QPoint MousePoint(const QMouseEvent& event)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return event.position().toPoint();
#else
    return event.pos();
#endif
}

// Before the application object: the window scaled by the screen's own factor (150 % draws it half as
// large again, not rounded to 200 %), with sharp pictures, as Qt 6 always does.
inline void ScaleToScreenDpi()
{
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
#endif
}
