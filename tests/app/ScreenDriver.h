#pragma once

#include <QDeadlineTimer>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSettings>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>
#include <QTest>

// Small helpers for driving screens the way a person would: taps and typing.
namespace ScreenDriver {

inline void tap(QQuickWindow *window, QQuickItem *item)
{
    const QPointF centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
    QTest::mouseClick(window, Qt::LeftButton, {}, centre.toPoint());
}

// Taps `item` once it has stopped moving: a tap aimed at a sheet that is still rising would land
// on whatever is under the old spot, and a busy machine stretches the animation. Only for items
// that outlive the wait: the event loop runs meanwhile.
inline void tapWhenSettled(QQuickWindow *window, QQuickItem *item)
{
    // Still for six frames running: a loaded machine may skip a frame or two mid-animation.
    const auto centre = [item] { return item->mapToScene(QPointF(item->width() / 2, item->height() / 2)); };
    QPointF last = centre();
    QDeadlineTimer patience(60000); // as long as the suite's patient waits
    for (int still = 0; still < 6 && !patience.hasExpired();) {
        QTest::qWait(16);
        const QPointF now = centre();
        still = now == last ? still + 1 : 0;
        last = now;
    }
    QTest::mouseClick(window, Qt::LeftButton, {}, last.toPoint());
}

inline void type(QQuickWindow *window, QQuickItem *field, const QString &text)
{
    tap(window, field);
    field->forceActiveFocus();
    // QWindow has no keyClicks; our typed texts are plain ASCII.
    for (const QChar ch : text)
        QTest::keyClick(window, ch.toLatin1());
}

// The item of this object name at or below `item`, depth first; null when there is none.
inline QQuickItem *findIn(QQuickItem *item, const QString &name)
{
    if (!item)
        return nullptr;
    if (item->objectName() == name)
        return item;
    for (QQuickItem *child : item->childItems()) {
        if (QQuickItem *found = findIn(child, name))
            return found;
    }
    return nullptr;
}

// The item when it shows, else null.
inline QQuickItem *ifShown(QQuickItem *item)
{
    return item && item->isVisible() ? item : nullptr;
}

// A sheet fully risen: a tap before that lands where the sheet is still on its way up.
inline bool sheetRisen(const QObject *sheet)
{
    return sheet && sheet->property("opened").toBool() && sheet->property("y").toReal() == 10;
}

// A sheet closed and done moving, so that the next tap lands on what is under it.
inline bool sheetGone(const QObject *sheet)
{
    return sheet && !sheet->property("visible").toBool();
}

inline QString text(QQuickItem *item)
{
    return item ? item->property("text").toString() : QString();
}

// Settings live in a test folder, emptied for every test so that no session leaks between them.
// The test-mode folder is shared by every test program, and ctest runs them side by side, so
// each program keeps its settings in a folder of its own.
inline void clearSettings()
{
    QStandardPaths::setTestModeEnabled(true);
    static const QTemporaryDir folder;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder.path());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
    QSettings(QStringLiteral("Vorlane"), QStringLiteral("Vorlane")).clear();
}

} // namespace ScreenDriver
