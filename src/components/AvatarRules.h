#pragma once

#include <QObject>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

// What an avatar shows and how big its online dot is: decided here, drawn by AvatarView.qml.
class AvatarRules : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    using QObject::QObject;

    // An address worth handing to the image loader: present, not empty, and a well-formed URL
    // (text with spaces or stray characters is refused, as the platform's URL parser does).
    Q_INVOKABLE static bool isUsableAddress(const QVariant &urlString);
    // The dot grows with the avatar but never gets smaller than 12.
    Q_INVOKABLE static qreal onlineDotDiameter(qreal size);
    // A user record's avatar address (null when it has none) and online flag, for AvatarView's
    // `user` form; anything that is no user gives no address and no dot.
    Q_INVOKABLE static QVariant avatarUrlOf(const QVariant &user);
    Q_INVOKABLE static bool isOnlineOf(const QVariant &user);
};
