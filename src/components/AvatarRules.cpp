#include "AvatarRules.h"

#include "RecordListModel.h"
#include "User.h"

#include <QUrl>
#include <algorithm>

bool AvatarRules::isUsableAddress(const QVariant &urlString)
{
    if (!urlString.isValid() || urlString.isNull())
        return false;
    const QString text = urlString.toString();
    if (text.isEmpty())
        return false;
    return QUrl(text, QUrl::StrictMode).isValid();
}

qreal AvatarRules::onlineDotDiameter(qreal size)
{
    return std::max<qreal>(12.0, size * 0.28);
}

QVariant AvatarRules::avatarUrlOf(const QVariant &user)
{
    return user.canConvert<User>() ? optionalText(user.value<User>().avatarUrl) : QVariant::fromValue(nullptr);
}

bool AvatarRules::isOnlineOf(const QVariant &user)
{
    return user.canConvert<User>() && user.value<User>().isOnline;
}
