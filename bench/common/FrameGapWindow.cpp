#include "FrameGapWindow.h"

#include "VorlaneQml.h"

#include <QEventLoop>
#include <QQmlComponent>
#include <QTimer>

#include <algorithm>
#include <cstdio>

FrameGapWindow::FrameGapWindow(int width, int height)
{
    VorlaneQml::prepare(m_engine);
    m_window.resize(width, height);
    m_ticker = create("import QtQuick\nimport Vorlane\nActivityIndicator { x: 8; y: 8; z: 1; width: 40; height: 40 }");
    QObject::connect(&m_window, &QQuickWindow::frameSwapped, &m_window, [this] {
        if (m_clock.isValid())
            m_longest = std::max(m_longest, m_clock.nsecsElapsed());
        m_clock.start();
    });
    m_window.show();
}

std::unique_ptr<QQuickItem> FrameGapWindow::create(const char *qml)
{
    QQmlComponent component(&m_engine);
    component.setData(qml, QUrl());
    std::unique_ptr<QQuickItem> item(qobject_cast<QQuickItem *>(component.create()));
    if (!item) {
        std::fprintf(stderr, "%s\n", qPrintable(component.errorString()));
        return nullptr;
    }
    item->setParentItem(m_window.contentItem());
    return item;
}

double FrameGapWindow::longestGapDuring(const Work &work)
{
    QEventLoop loop;
    QTimer::singleShot(300, &loop, &QEventLoop::quit);
    loop.exec();
    m_longest = 0;
    m_clock.start();
    QTimer::singleShot(100, &loop, [&] { work([&] { QTimer::singleShot(100, &loop, &QEventLoop::quit); }); });
    loop.exec();
    return double(m_longest) / 1e6;
}
