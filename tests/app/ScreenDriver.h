#pragma once

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

inline void type(QQuickWindow *window, QQuickItem *field, const QString &text)
{
    tap(window, field);
    field->forceActiveFocus();
    // QWindow has no keyClicks; our typed texts are plain ASCII.
    for (const QChar ch : text)
        QTest::keyClick(window, ch.toLatin1());
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
