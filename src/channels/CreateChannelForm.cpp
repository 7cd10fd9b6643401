#include "CreateChannelForm.h"

#include "ChannelsViewModel.h"
#include "User.h"

CreateChannelForm::CreateChannelForm(QObject *parent) : ChannelForm(parent)
{
    setCategory(QStringLiteral("Паблик"));
}

void CreateChannelForm::setCurrentUser(const QVariant &user)
{
    m_currentUser = user;
    Q_EMIT currentUserChanged();
}

qint64 CreateChannelForm::ownerId() const
{
    if (m_currentUser.metaType() == QMetaType::fromType<User>())
        return m_currentUser.value<User>().id;
    return 1;
}

QCoro::Task<bool> CreateChannelForm::send(ChannelsViewModel *viewModel, ChannelFields fields)
{
    return viewModel->createChannel(fields.name, fields.description, fields.category, fields.avatarUrl, fields.coverUrl,
                                    ownerId());
}

QString CreateChannelForm::avatarChosenText() const
{
    return QStringLiteral("Аватарка выбрана ✓");
}

QString CreateChannelForm::coverChosenText() const
{
    return QStringLiteral("Обложка выбрана ✓");
}
