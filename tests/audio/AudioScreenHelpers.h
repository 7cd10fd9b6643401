#pragma once

#include "QmlScreen.h"

#include <QQuickItem>
#include <QTest>

#include <optional>

// Clicks the middle of an item (or a point in it) the way a finger would.
inline void tapItem(QmlScreen &screen, QQuickItem *item, std::optional<QPointF> local = std::nullopt)
{
    const QPointF point = local.value_or(QPointF(item->width() / 2, item->height() / 2));
    QTest::mouseClick(screen.window(), Qt::LeftButton, {}, item->mapToScene(point).toPoint());
}

// A visible item, searched by objectName, or nullptr.
inline QQuickItem *shownItem(const QmlScreen &screen, const QString &objectName)
{
    QQuickItem *item = screen.find(objectName);
    return item && item->isVisible() ? item : nullptr;
}
