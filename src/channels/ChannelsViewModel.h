#pragma once

#include "Channel.h"
#include "RecordListModel.h"

#include <QCoroTask>
#include <QObject>
#include <QtQml/qqmlregistration.h>

// The channel catalogue loaded from the service.
class ChannelsViewModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QAbstractItemModel *channels READ channelsModel CONSTANT)
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY isLoadingChanged)

public:
    // Starts loading "channels.php" at once.
    explicit ChannelsViewModel(QObject *parent = nullptr);

    const QList<Channel> &channels() const { return m_channels.rows(); }
    QAbstractItemModel *channelsModel() { return &m_channels; }
    bool isLoading() const { return m_isLoading; }

    // A failed load only ends the busy state.
    Q_INVOKABLE void loadChannels();

Q_SIGNALS:
    void channelsChanged();
    void isLoadingChanged();

private:
    QCoro::Task<> fetch();
    void setIsLoading(bool value);

    RecordListModel<Channel> m_channels;
    bool m_isLoading = false;
};
