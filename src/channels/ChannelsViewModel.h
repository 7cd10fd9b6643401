#pragma once

#include "Channel.h"
#include "RecordListModel.h"
#include "User.h"

#include <QCoroTask>
#include <QJsonObject>
#include <QObject>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

#include <optional>

// Everything the channels tab shows, held in memory: the catalogue, the details of the channel
// fetched last and the subscribers fetched last. One instance serves the whole tab; the screen
// makes it and hands it to the pages it opens. Failed reads change nothing and say nothing.
class ChannelsViewModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QAbstractItemModel *channels READ channelsModel CONSTANT)
    // A Channel record, or null until the first details fetch lands.
    Q_PROPERTY(QVariant selectedChannelDetails READ selectedChannelDetailsValue NOTIFY selectedChannelDetailsChanged)
    // User records.
    Q_PROPERTY(QVariantList currentChannelSubscribers READ currentChannelSubscribersValue NOTIFY
                   currentChannelSubscribersChanged)

public:
    // Starts loading the catalogue at once; that is the only load it starts by itself.
    explicit ChannelsViewModel(QObject *parent = nullptr);

    const QList<Channel> &channels() const { return m_channels.rows(); }
    QAbstractItemModel *channelsModel() { return &m_channels; }
    const std::optional<Channel> &selectedChannelDetails() const { return m_selectedChannelDetails; }
    const QList<User> &currentChannelSubscribers() const { return m_currentChannelSubscribers; }
    // The channel the subscriber list was fetched for; nothing before the first fetch lands.
    std::optional<qint64> currentChannelSubscribersChannelId() const { return m_subscribersChannelId; }

    Q_INVOKABLE void loadChannels();
    void fetchChannelDetails(qint64 channelId);
    void fetchChannelSubscribers(qint64 channelId);

    // Flips the subscription at once in the catalogue's first entry with this id and in the
    // selected details of the same id, then tells the service; its answer is not waited for.
    void toggleSubscribe(const Channel &channel);
    // The same for a Channel record handed over by QML; anything else is ignored.
    Q_INVOKABLE void toggleSubscribe(const QVariant &channel);

    // The rule of a flip: the flag turns over and the count follows it by one, never below 0 and
    // never past the largest count.
    static void flipSubscription(Channel &channel);
    // The body the service flips its own record by.
    static QJsonObject toggleSubscribeBody(qint64 channelId);
    // The roles of a catalogue row.
    static QList<std::pair<QByteArray, RecordListModel<Channel>::Field>> channelRoles();

    // The writes. Each sends its values unchanged and never throws; what it changes in the
    // model is in place before its result is returned.
    // True once the service took the channel: a channel in the reply goes first in the catalogue,
    // and without one the catalogue is reloaded. A refusal or a failed call reloads it too and
    // gives false, so that the form keeps what was typed.
    QCoro::Task<bool> createChannel(QString name, QString description, QString category, QString avatarUrl,
                                    QString coverUrl, qint64 userId = 1);
    // The service's verdict; any reply refetches the channel and then the catalogue, a failed call
    // nothing.
    QCoro::Task<bool> editChannel(qint64 channelId, QString name, QString description, QString category,
                                  QString avatarUrl, QString coverUrl);
    // True when the service returned the post, which then goes first in the selected details when
    // they are of that channel.
    QCoro::Task<bool> createChannelPost(qint64 channelId, QString text, QString imageUrl);

Q_SIGNALS:
    void channelsChanged();
    void selectedChannelDetailsChanged();
    void currentChannelSubscribersChanged();

private:
    QCoro::Task<> fetchChannels();
    QCoro::Task<> fetchDetails(qint64 channelId);
    QCoro::Task<> fetchSubscribers(qint64 channelId);
    // Holds only the body, never the model: a toggle's reply changes nothing.
    static QCoro::Task<> sendToggle(QJsonObject body);

    QVariant selectedChannelDetailsValue() const;
    QVariantList currentChannelSubscribersValue() const;

    RecordListModel<Channel> m_channels;
    std::optional<Channel> m_selectedChannelDetails;
    QList<User> m_currentChannelSubscribers;
    std::optional<qint64> m_subscribersChannelId;
};
