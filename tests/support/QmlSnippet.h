#pragma once

#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <memory>

// Loads a piece of QML text (importing the Vorlane module) into an offscreen window, for
// components that must keep their own size rather than fill a phone-sized screen.
class QmlSnippet
{
public:
    explicit QmlSnippet(const QByteArray &qml);
    ~QmlSnippet();

    bool isReady() const { return m_root != nullptr; }
    QString errors() const { return m_errors; }
    QQuickItem *root() const { return m_root; }
    QQuickWindow *window() const { return m_window.get(); }
    QQmlEngine &engine() { return m_engine; }
    // First item or object whose objectName matches, searched depth-first from the root.
    QObject *find(const QString &objectName) const;
    template <class T> T *find(const QString &objectName) const { return qobject_cast<T *>(find(objectName)); }

private:
    QQmlEngine m_engine;
    std::unique_ptr<QQuickWindow> m_window;
    QQuickItem *m_root = nullptr;
    QString m_errors;
};
