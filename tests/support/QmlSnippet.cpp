#include "QmlSnippet.h"
#include "PatientWaits.h"

#include "VorlaneQml.h"

#include <QQmlComponent>
#include <QTest>

QmlSnippet::QmlSnippet(const QByteArray &qml)
{
    VorlaneQml::prepare(m_engine);
    QQmlComponent component(&m_engine);
    component.setData(qml, QUrl(QStringLiteral("qrc:/tests/snippet.qml")));
    QObject *object = component.create();
    m_root = qobject_cast<QQuickItem *>(object);
    if (!m_root) {
        delete object;
        m_errors = component.errorString();
        return;
    }
    m_window = std::make_unique<QQuickWindow>();
    m_window->resize(390, 844);
    m_root->setParentItem(m_window->contentItem());
    m_root->setParent(m_window.get());
    m_window->show();
    if (!QTest::qWaitForWindowExposed(m_window.get(), VORLANE_PATIENT_WAIT_MS))
        m_errors = QStringLiteral("the window was never exposed");
}

QmlSnippet::~QmlSnippet() = default;

static QObject *findIn(QObject *object, const QString &name)
{
    if (object->objectName() == name)
        return object;
    for (QObject *child : object->children()) {
        if (QObject *found = findIn(child, name))
            return found;
    }
    if (auto *item = qobject_cast<QQuickItem *>(object)) {
        for (QQuickItem *child : item->childItems()) {
            if (QObject *found = findIn(child, name))
                return found;
        }
    }
    return nullptr;
}

QObject *QmlSnippet::find(const QString &objectName) const
{
    return m_window ? findIn(m_window->contentItem(), objectName) : nullptr;
}
