#pragma once

#include "Channel.h"
#include "LoadingModel.h"

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

Q_SIGNALS:
    void channelsChanged();

private:
    RecordListModel<Channel> m_channels;
};
