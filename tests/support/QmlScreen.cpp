#include "QmlScreen.h"
#include "PatientWaits.h"

#include "VorlaneQml.h"

#include <QCoreApplication>
#include <QQmlComponent>
#include <QTest>

QmlScreen::QmlScreen(const QString &file, const QVariantMap &properties)
{
    VorlaneQml::prepare(m_engine);
    QQmlComponent component(&m_engine, QUrl(QString::fromLatin1(VorlaneQml::screenUrlPrefix) + file));
    if (component.isError()) {
        m_errors = component.errorString();
        return;
    }
    QObject *object = component.createWithInitialProperties(properties);
    if (!object) {
        m_errors = component.errorString();
        return;
    }
    if (auto *window = qobject_cast<QQuickWindow *>(object)) {
        m_window.reset(window);
        m_root = window->contentItem();
    } else {
        m_root = qobject_cast<QQuickItem *>(object);
        if (!m_root) {
            delete object;
            m_errors = QStringLiteral("%1 is not a visual item").arg(file);
            return;
        }
        m_window = std::make_unique<QQuickWindow>();
        m_window->resize(390, 844);
        m_root->setParentItem(m_window->contentItem());
        m_root->setParent(m_window.get());
        m_root->setSize(QSizeF(390, 844));
    }
    m_window->show();
    if (!QTest::qWaitForWindowExposed(m_window.get(), VORLANE_PATIENT_WAIT_MS))
        m_errors = QStringLiteral("the window was never exposed");
}

QmlScreen::~QmlScreen()
{
    // The window's items first, then what their teardown queued for deletion, while the engine
    // that made them still exists.
    m_window.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

static QQuickItem *findIn(QObject *object, const QString &name)
{
    if (auto *item = qobject_cast<QQuickItem *>(object); item && item->objectName() == name)
        return item;
    for (QObject *child : object->children()) {
        if (QQuickItem *found = findIn(child, name))
            return found;
    }
    if (auto *item = qobject_cast<QQuickItem *>(object)) {
        for (QQuickItem *child : item->childItems()) {
            if (QQuickItem *found = findIn(child, name))
                return found;
        }
    }
    return nullptr;
}

QQuickItem *QmlScreen::find(const QString &objectName) const
{
    return m_window ? findIn(m_window->contentItem(), objectName) : nullptr;
}

QObject *QmlScreen::findObject(const QString &objectName) const
{
    if (QObject *found = m_root ? m_root->findChild<QObject *>(objectName) : nullptr)
        return found;
    return m_window ? m_window->findChild<QObject *>(objectName) : nullptr;
}

QImage QmlScreen::grab()
{
    QTest::qWait(50);
    return m_window ? m_window->grabWindow() : QImage();
}
