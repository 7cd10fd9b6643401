#pragma once

#include "Channel.h"
#include "ChannelForm.h"

#include <QVariant>

#include <optional>

// The form that changes a channel. Its fields come from the channel it is first given; a fresher
// copy handed over while it is open (the page's details landing) leaves what the user sees alone.
class EditChannelForm : public ChannelForm
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QVariant channel READ channelValue WRITE setChannel NOTIFY channelChanged)

public:
    explicit EditChannelForm(QObject *parent = nullptr);

    std::optional<Channel> channel() const { return m_channel; }
    void setChannel(const QVariant &channel);

Q_SIGNALS:
    void channelChanged();

protected:
    bool isReady() const override { return m_channel.has_value(); }
    QCoro::Task<bool> send(ChannelsViewModel *viewModel, ChannelFields fields) override;
    QString avatarChosenText() const override;
    QString coverChosenText() const override;

private:
    QVariant channelValue() const { return m_channel ? QVariant::fromValue(*m_channel) : QVariant(); }

    std::optional<Channel> m_channel;
};
