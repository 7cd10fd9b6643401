#include "KeyboardHome.h"

#include <QPointer>
#include <QQuickItem>
#include <QQuickWindow>

namespace {

const char followerName[] = "vorlaneKeyboardHome";

bool tookByClick(const QQuickItem *item)
{
    // Controls, text fields and text areas say how they last gained or lost the keyboard.
    const QVariant reason = item->property("focusReason");
    return reason.isValid() && reason.toInt() == Qt::MouseFocusReason &&
           !item->flags().testFlag(QQuickItem::ItemAcceptsInputMethod);
}

class Follower : public QObject
{
public:
    explicit Follower(QQuickWindow *window) : QObject(window), m_window(window)
    {
        setObjectName(QLatin1String(followerName));
        connect(window, &QQuickWindow::activeFocusItemChanged, this, &Follower::moved);
        moved();
    }

    QPointer<QQuickItem> home;

private:
    // Called once the item has gained the keyboard, so its reason is the one it gained it by.
    void moved()
    {
        QQuickItem *item = m_window->activeFocusItem();
        if (item && !tookByClick(item))
            home = item;
    }

    QQuickWindow *m_window;
};

Follower *followerOf(QQuickWindow *window)
{
    // Only a follower carries that name.
    return window ? static_cast<Follower *>(
                        window->findChild<QObject *>(QLatin1String(followerName), Qt::FindDirectChildrenOnly))
                  : nullptr;
}

} // namespace

void KeyboardHome::follow(QQuickItem *item)
{
    QQuickWindow *window = item ? item->window() : nullptr;
    if (window && !followerOf(window))
        new Follower(window);
}

QQuickItem *KeyboardHome::of(QQuickWindow *window)
{
    if (!window)
        return nullptr;
    const Follower *follower = followerOf(window);
    QQuickItem *home = follower ? follower->home.data() : nullptr;
    return home && home->window() == window && home->isVisible() ? home : window->activeFocusItem();
}
