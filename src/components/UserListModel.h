#pragma once

#include "RecordListModel.h"
#include "User.h"

#include <QVariantList>
#include <QtQml/qqmlregistration.h>

// The rows of a user list sheet: one user a row, in the caller's order.
class UserListModel : public RecordListModel<User>
{
    Q_OBJECT
    QML_ELEMENT
    // User records, as QML hands them over.
    Q_PROPERTY(QVariantList users READ users WRITE setUsers NOTIFY usersChanged)

public:
    explicit UserListModel(QObject *parent = nullptr);

    QVariantList users() const;
    void setUsers(const QVariantList &users);

Q_SIGNALS:
    void usersChanged();
};
