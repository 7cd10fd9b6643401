#pragma once

#include "ChannelForm.h"

#include <QVariant>

// The form that founds a channel. It opens empty but for the category, and the signed-in user
// becomes the owner (the demo account, id 1, when nobody is signed in).
class CreateChannelForm : public ChannelForm
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QVariant currentUser READ currentUser WRITE setCurrentUser NOTIFY currentUserChanged)

public:
    explicit CreateChannelForm(QObject *parent = nullptr);

    QVariant currentUser() const { return m_currentUser; }
    void setCurrentUser(const QVariant &user);
    qint64 ownerId() const;

Q_SIGNALS:
    void currentUserChanged();

protected:
    QCoro::Task<bool> send(ChannelsViewModel *viewModel, ChannelFields fields) override;
    QString avatarChosenText() const override;
    QString coverChosenText() const override;

private:
    QVariant m_currentUser;
};
