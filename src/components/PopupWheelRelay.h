#pragma once

#include <QObject>
#include <QQuickItem>
#include <QtQml/qqmlregistration.h>

// Wheel turns for a popup opened over another modal one. Qt 6.4's overlay vets every wheel turn in
// a filter on its window: it asks each open popup, topmost first, and drops the turn as soon as a
// modal one does not hold the item under the pointer, without stopping at the popup that does.
// The modal popup beneath the topmost then drops every turn meant for the topmost one, so a list
// in a sheet over a sheet never scrolls. Our filter, in front of the overlay's, hands a turn over
// the topmost modal popup straight to the window's delivery, where that popup's own item takes
// whatever its content leaves; every other turn is left to the overlay, which keeps it from what
// the popup covers.
class PopupWheelRelay : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    using QObject::QObject;

    // Puts the filter on the window of `overlay` (Overlay.overlay, which must exist already, so that
    // ours runs first), once however often it is called.
    Q_INVOKABLE static void install(QQuickItem *overlay);
};
