#include "PopupWheelRelay.h"

#include <QPointer>
#include <QQuickItem>
#include <QQuickWindow>
#include <QWheelEvent>

#include <algorithm>

namespace {

const char relayName[] = "vorlanePopupWheelRelay";

class WindowWheelFilter : public QObject
{
public:
    explicit WindowWheelFilter(QQuickItem *overlay) : QObject(overlay->window()), m_overlay(overlay)
    {
        setObjectName(QLatin1String(relayName));
        overlay->window()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Wheel || !m_overlay || watched != m_overlay->window())
            return false;
        QQuickItem *popup = topmostModalPopup();
        if (!popup || !popup->contains(popup->mapFromScene(static_cast<QWheelEvent *>(event)->scenePosition())))
            return false;
        // What the overlay's filter would have let through goes on to the window itself; QObject's
        // event() is public, QWindow's override of it is not.
        static_cast<QObject *>(watched)->event(event);
        return true;
    }

private:
    // The item of the modal popup drawn above every other one: popups are the overlay's children,
    // painted by z, then in the order they were put there.
    QQuickItem *topmostModalPopup() const
    {
        QList<QQuickItem *> children = m_overlay->childItems();
        std::stable_sort(children.begin(), children.end(),
                         [](const QQuickItem *a, const QQuickItem *b) { return a->z() < b->z(); });
        for (auto it = children.crbegin(); it != children.crend(); ++it) {
            QQuickItem *child = *it;
            if (child->isVisible() && child->inherits("QQuickPopupItem") && child->parent() &&
                child->parent()->property("modal").toBool())
                return child;
        }
        return nullptr;
    }

    QPointer<QQuickItem> m_overlay;
};

} // namespace

void PopupWheelRelay::install(QQuickItem *overlay)
{
    QQuickWindow *window = overlay ? overlay->window() : nullptr;
    if (!window || window->findChild<QObject *>(QLatin1String(relayName), Qt::FindDirectChildrenOnly))
        return;
    new WindowWheelFilter(overlay);
}
