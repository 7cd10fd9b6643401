#pragma once

#include <QObject>
#include <QQuickItem>
#include <QQuickWindow>
#include <QtQml/qqmlregistration.h>

// Where the keyboard of a window lives: the item that last took it, except a control that took it
// by a click and takes no text. Qt's controls take the keyboard from a text field when clicked
// here, though they show no focus ring; a button that opens a file dialog would have it when the
// dialog closes, and typing on would reach nothing (Space would open the dialog again). A button
// reached by Tab is a home, as is any text field, however it was reached.
class KeyboardHome : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    using QObject::QObject;

    // Starts following the keyboard of the window that shows `item`, once however often it is called.
    Q_INVOKABLE static void follow(QQuickItem *item);
    // The home of the window's keyboard: the item it has now when it has not been followed, or
    // when its home is gone or hidden.
    Q_INVOKABLE static QQuickItem *of(QQuickWindow *window);
};
