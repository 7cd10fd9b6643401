#pragma once

#include "QmlScreen.h"
#include "VorlaneQml.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QTest>

// Compiles a screen on its own and returns its errors: a screen that does not compile must fail
// the test with the reason, not crash it while being created.
inline QString screenErrors(const QString &file)
{
    QQmlEngine engine;
    VorlaneQml::prepare(engine);
    QQmlComponent component(&engine, QUrl(QString::fromLatin1(VorlaneQml::screenUrlPrefix) + file));
    return component.isError() ? component.errorString() : QString();
}

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
