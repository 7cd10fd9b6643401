#include "UserListModel.h"

UserListModel::UserListModel(QObject *parent)
    : RecordListModel<User>({{"fullName", [](const User &user) { return QVariant(user.fullName()); }},
                             {"handle", [](const User &user) { return QVariant(QLatin1Char('@') + user.username); }},
                             {"avatarUrl", [](const User &user) { return optionalText(user.avatarUrl); }},
                             {"isOnline", [](const User &user) { return QVariant(user.isOnline); }},
                             {"user", [](const User &user) { return QVariant::fromValue(user); }}},
                            parent)
{
}

QVariantList UserListModel::users() const
{
    QVariantList list;
    for (const User &user : rows())
        list.append(QVariant::fromValue(user));
    return list;
}

void UserListModel::setUsers(const QVariantList &users)
{
    // Entries that are no user records are left out rather than shown as empty rows.
    QList<User> list;
    for (const QVariant &entry : users) {
        if (entry.canConvert<User>())
            list.append(entry.value<User>());
    }
    setRows(list);
    Q_EMIT usersChanged();
}
