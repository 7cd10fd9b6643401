#pragma once

#include "Channel.h"
#include "LoadingModel.h"

#include <QCoroTask>
#include <optional>

#include <QtQml/qqmlregistration.h>

// The channel catalogue loaded from the service.
class ChannelsViewModel : public LoadingModel
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QAbstractItemModel *channels READ channelsModel CONSTANT)

public:
    // Starts loading "channels.php" at once.
    explicit ChannelsViewModel(QObject *parent = nullptr);

    const QList<Channel> &channels() const { return m_channels.rows(); }
    QAbstractItemModel *channelsModel() { return &m_channels; }

    // A failed load only ends the busy state.
    Q_INVOKABLE void loadChannels();

    const std::optional<Channel> &selectedChannelDetails() const { return m_selectedChannelDetails; }
    Q_INVOKABLE void fetchChannelDetails(qint64 channelId);

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

private:
    void setSelectedChannelDetails(const Channel &channel);

    RecordListModel<Channel> m_channels;
    std::optional<Channel> m_selectedChannelDetails;
};
