#include "ChannelDetailPresenter.h"

#include "AvatarRules.h"
#include "ChannelFilter.h"
#include "ChannelTexts.h"
#include "ChannelsViewModel.h"

ChannelDetailPresenter::ChannelDetailPresenter(QObject *parent)
    : QObject(parent),
      m_posts({{"text", [](const ChannelPost &post) { return QVariant(post.text); }},
               {"imageSource",
                [](const ChannelPost &post) {
                    const QVariant address = optionalText(post.imageUrl);
                    return QVariant(AvatarRules::isUsableAddress(address) ? *post.imageUrl : QString());
                }},
               {"createdAtFormatted", [](const ChannelPost &post) { return QVariant(post.createdAtFormatted); }},
               {"viewsText", [](const ChannelPost &post) { return QVariant(QString::number(post.viewsCount)); }}},
              this)
{
}

void ChannelDetailPresenter::setViewModel(ChannelsViewModel *viewModel)
{
    if (m_viewModel == viewModel)
        return;
    if (m_viewModel)
        disconnect(m_viewModel, nullptr, this, nullptr);
    m_viewModel = viewModel;
    if (viewModel) {
        connect(viewModel, &ChannelsViewModel::selectedChannelDetailsChanged, this, &ChannelDetailPresenter::refresh);
        connect(viewModel, &ChannelsViewModel::currentChannelSubscribersChanged, this,
                &ChannelDetailPresenter::subscribersChanged);
    }
    Q_EMIT viewModelChanged();
    refresh();
}

void ChannelDetailPresenter::setChannel(const QVariant &channel)
{
    if (!channel.canConvert<Channel>())
        return;
    m_channel = channel.value<Channel>();
    Q_EMIT channelChanged();
    refresh();
}

QVariant ChannelDetailPresenter::currentUserValue() const
{
    return m_currentUser ? QVariant::fromValue(*m_currentUser) : QVariant::fromValue(nullptr);
}

void ChannelDetailPresenter::setCurrentUser(const QVariant &user)
{
    m_currentUser = user.canConvert<User>() ? std::optional<User>(user.value<User>()) : std::nullopt;
    Q_EMIT currentUserChanged();
    refresh();
}

Channel ChannelDetailPresenter::displayChannel() const
{
    if (m_viewModel) {
        const std::optional<Channel> &details = m_viewModel->selectedChannelDetails();
        if (details && details->id == m_channel.id)
            return *details;
    }
    return m_channel;
}

bool ChannelDetailPresenter::isCreator() const
{
    return ChannelFilter::isOwner(displayChannel(), m_currentUser);
}

QList<User> ChannelDetailPresenter::subscribers() const
{
    // A list fetched for another channel is not this page's, even while the new one is on its way.
    if (!m_viewModel || m_viewModel->currentChannelSubscribersChannelId() != displayChannel().id)
        return {};
    return m_viewModel->currentChannelSubscribers();
}

QString ChannelDetailPresenter::categoryLine() const
{
    const Channel channel = displayChannel();
    return ChannelTexts::categoryLine(channel.category, channel.subscribersCount);
}

QString ChannelDetailPresenter::coverSource() const
{
    const Channel channel = displayChannel();
    return AvatarRules::isUsableAddress(optionalText(channel.coverUrl)) ? *channel.coverUrl : QString();
}

QString ChannelDetailPresenter::subscribeButtonText() const
{
    return ChannelTexts::subscribeButton(isSubscribed());
}

bool ChannelDetailPresenter::hasPosts() const
{
    const Channel channel = displayChannel();
    return channel.posts && !channel.posts->isEmpty();
}

QString ChannelDetailPresenter::noPostsText() const
{
    return ChannelTexts::noPosts(isCreator());
}

QVariantList ChannelDetailPresenter::subscribersValue() const
{
    QVariantList list;
    for (const User &user : subscribers())
        list.append(QVariant::fromValue(user));
    return list;
}

void ChannelDetailPresenter::appear()
{
    if (m_viewModel)
        m_viewModel->fetchChannelDetails(m_channel.id);
}

void ChannelDetailPresenter::openSubscribers()
{
    if (m_viewModel)
        m_viewModel->fetchChannelSubscribers(displayChannel().id);
}

void ChannelDetailPresenter::toggleSubscribe()
{
    if (m_viewModel)
        m_viewModel->toggleSubscribe(displayChannel());
}

void ChannelDetailPresenter::refresh()
{
    m_posts.setRows(displayChannel().posts.value_or(QList<ChannelPost>()));
    Q_EMIT displayChanged();
    Q_EMIT subscribersChanged();
}
