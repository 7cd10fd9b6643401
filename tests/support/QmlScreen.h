#pragma once

#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QVariantMap>
#include <memory>

// Loads one screen of the Vorlane module into an offscreen window so that a test can read
// and drive it. The screen fills a phone-sized window.
class QmlScreen
{
public:
    explicit QmlScreen(const QString &file, const QVariantMap &properties = {});
    ~QmlScreen();

    bool isReady() const { return m_root != nullptr; }
    QString errors() const { return m_errors; }
    QQuickItem *root() const { return m_root; }
    QQuickWindow *window() const { return m_window.get(); }
    QQmlEngine &engine() { return m_engine; }

    // First item whose objectName matches, searched depth-first from the root (popups included).
    QQuickItem *find(const QString &objectName) const;
    // Any object by name (sheets and other popups too): under the root, else anywhere in the window.
    QObject *findObject(const QString &objectName) const;
    // Waits for the scene to settle and grabs it, for looking at in a failing test.
    QImage grab();

private:
    QQmlEngine m_engine;
    std::unique_ptr<QQuickWindow> m_window;
    QQuickItem *m_root = nullptr;
    QString m_errors;
};
