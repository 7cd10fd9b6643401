#pragma once

#include "Channel.h"
#include "ChannelPost.h"
#include "ChannelsViewModel.h"
#include "RecordListModel.h"
#include "User.h"

#include <QObject>
#include <QPointer>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

#include <optional>

// What a channel page shows, worked out from the channel it was opened for and the shared
// model: the model's details only when they are this channel's, the subscriber list only when it
// was fetched for this channel, and the creator's controls only for the channel's owner.
class ChannelDetailPresenter : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(ChannelsViewModel *viewModel READ viewModel WRITE setViewModel NOTIFY viewModelChanged)
    // The Channel record the page was opened for.
    Q_PROPERTY(QVariant channel READ channelValue WRITE setChannel NOTIFY channelChanged)
    // A User record, or null.
    Q_PROPERTY(QVariant currentUser READ currentUserValue WRITE setCurrentUser NOTIFY currentUserChanged)

    Q_PROPERTY(QVariant displayChannel READ displayChannelValue NOTIFY displayChanged)
    Q_PROPERTY(QString name READ name NOTIFY displayChanged)
    Q_PROPERTY(bool isVerified READ isVerified NOTIFY displayChanged)
    Q_PROPERTY(QString categoryLine READ categoryLine NOTIFY displayChanged)
    Q_PROPERTY(QString description READ description NOTIFY displayChanged)
    Q_PROPERTY(QVariant avatarUrl READ avatarUrl NOTIFY displayChanged)
    // The cover's address when it is worth loading, else empty (the gradient shows).
    Q_PROPERTY(QString coverSource READ coverSource NOTIFY displayChanged)
    Q_PROPERTY(bool isSubscribed READ isSubscribed NOTIFY displayChanged)
    Q_PROPERTY(QString subscribeButtonText READ subscribeButtonText NOTIFY displayChanged)
    Q_PROPERTY(bool isCreator READ isCreator NOTIFY displayChanged)
    Q_PROPERTY(bool hasPosts READ hasPosts NOTIFY displayChanged)
    Q_PROPERTY(QString noPostsText READ noPostsText NOTIFY displayChanged)
    Q_PROPERTY(QAbstractItemModel *posts READ postsModel CONSTANT)
    // User records for the subscribers sheet.
    Q_PROPERTY(QVariantList subscribers READ subscribersValue NOTIFY subscribersChanged)

public:
    explicit ChannelDetailPresenter(QObject *parent = nullptr);

    ChannelsViewModel *viewModel() const { return m_viewModel; }
    void setViewModel(ChannelsViewModel *viewModel);
    QVariant channelValue() const { return QVariant::fromValue(m_channel); }
    void setChannel(const QVariant &channel);
    QVariant currentUserValue() const;
    void setCurrentUser(const QVariant &user);

    // The model's details when they are this page's channel, else the copy it was opened with.
    Channel displayChannel() const;
    bool isCreator() const;
    QList<User> subscribers() const;

    QVariant displayChannelValue() const { return QVariant::fromValue(displayChannel()); }
    QString name() const { return displayChannel().name; }
    bool isVerified() const { return displayChannel().isVerified; }
    QString categoryLine() const;
    QString description() const { return displayChannel().description; }
    QVariant avatarUrl() const { return optionalText(displayChannel().avatarUrl); }
    QString coverSource() const;
    bool isSubscribed() const { return displayChannel().isSubscribed; }
    QString subscribeButtonText() const;
    bool hasPosts() const;
    QString noPostsText() const;
    QAbstractItemModel *postsModel() { return &m_posts; }
    QVariantList subscribersValue() const;

    // Each appearance of the page asks for this channel's details afresh.
    Q_INVOKABLE void appear();
    // Asks for the subscribers; the sheet opens at once with what it may show meanwhile.
    Q_INVOKABLE void openSubscribers();
    Q_INVOKABLE void toggleSubscribe();

Q_SIGNALS:
    void viewModelChanged();
    void channelChanged();
    void currentUserChanged();
    void displayChanged();
    void subscribersChanged();

private:
    void refresh();

    QPointer<ChannelsViewModel> m_viewModel;
    Channel m_channel;
    std::optional<User> m_currentUser;
    RecordListModel<ChannelPost> m_posts;
};
