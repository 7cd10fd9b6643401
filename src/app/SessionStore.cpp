#include "SessionStore.h"

#include "DecodingError.h"

#include <QSettings>

namespace {

QSettings sessionSettings()
{
    return QSettings(QStringLiteral("Vorlane"), QStringLiteral("Vorlane"));
}

} // namespace

std::optional<User> SessionStore::restore()
{
    const QVariant stored = sessionSettings().value(QLatin1String(key));
    if (stored.typeId() != QMetaType::QByteArray)
        return std::nullopt;
    try {
        return decodeJson<User>(stored.toByteArray());
    } catch (const DecodingError &) {
        return std::nullopt;
    }
}

void SessionStore::save(const User &user)
{
    sessionSettings().setValue(QLatin1String(key), user.toJson());
}

void SessionStore::clear()
{
    sessionSettings().remove(QLatin1String(key));
}
