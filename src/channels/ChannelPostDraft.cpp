#include "ChannelPostDraft.h"

#include "Channel.h"
#include "ChannelsViewModel.h"

ChannelPostDraft::ChannelPostDraft(QObject *parent) : QObject(parent)
{
    connect(this, &ChannelPostDraft::textChanged, this, &ChannelPostDraft::canPublishChanged);
    connect(this, &ChannelPostDraft::viewModelChanged, this, &ChannelPostDraft::canPublishChanged);
    connect(this, &ChannelPostDraft::channelChanged, this, &ChannelPostDraft::canPublishChanged);
    connect(&m_image, &UploadSlot::addressChanged, this, &ChannelPostDraft::imageUrlChanged);
    connect(&m_image, &UploadSlot::uploadingChanged, this, &ChannelPostDraft::isUploadingImageChanged);
}

void ChannelPostDraft::setViewModel(ChannelsViewModel *viewModel)
{
    if (m_viewModel == viewModel)
        return;
    m_viewModel = viewModel;
    Q_EMIT viewModelChanged();
}

void ChannelPostDraft::setChannel(const QVariant &channel)
{
    m_channel = channel;
    Q_EMIT channelChanged();
}

void ChannelPostDraft::setText(const QString &text)
{
    if (m_text == text)
        return;
    m_text = text;
    Q_EMIT textChanged();
}

QString ChannelPostDraft::photoLabel() const
{
    return imageUrl().isEmpty() ? QStringLiteral("Выбрать фото с телефона") : QStringLiteral("Фото добавлено ✓");
}

bool ChannelPostDraft::canPublish() const
{
    return !m_text.trimmed().isEmpty() && m_viewModel && m_channel.metaType() == QMetaType::fromType<Channel>();
}

void ChannelPostDraft::uploadImage(const QImage &image)
{
    m_image.uploadImage(image);
}

void ChannelPostDraft::publish()
{
    if (!canPublish() || m_isPublishing)
        return;
    (void)runPublish(m_channel.value<Channel>().id);
}

QCoro::Task<> ChannelPostDraft::runPublish(qint64 channelId)
{
    const QPointer<ChannelPostDraft> self(this);
    m_isPublishing = true;
    const bool posted = co_await m_viewModel->createChannelPost(channelId, m_text, imageUrl());
    if (!self)
        co_return;
    m_isPublishing = false;
    if (!posted)
        co_return;
    // An upload begun before the publish belongs to the post just sent, not to the next one.
    m_image.dropRunning();
    setText(QString());
    m_image.setAddress(QString());
    Q_EMIT published();
}
