#include "ChannelPostDraft.h"

#include "Channel.h"
#include "ChannelsViewModel.h"
#include "NetworkManager.h"

#include <exception>
#include <optional>

ChannelPostDraft::ChannelPostDraft(QObject *parent) : QObject(parent)
{
    connect(this, &ChannelPostDraft::textChanged, this, &ChannelPostDraft::canPublishChanged);
    connect(this, &ChannelPostDraft::viewModelChanged, this, &ChannelPostDraft::canPublishChanged);
    connect(this, &ChannelPostDraft::channelChanged, this, &ChannelPostDraft::canPublishChanged);
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
    return m_imageUrl.isEmpty() ? QStringLiteral("Выбрать фото с телефона") : QStringLiteral("Фото добавлено ✓");
}

bool ChannelPostDraft::canPublish() const
{
    return !m_text.trimmed().isEmpty() && m_viewModel && m_channel.metaType() == QMetaType::fromType<Channel>();
}

void ChannelPostDraft::uploadImage(const QImage &image)
{
    (void)runUpload(image);
}

void ChannelPostDraft::publish()
{
    if (!canPublish() || m_isPublishing)
        return;
    (void)runPublish(m_channel.value<Channel>().id);
}

QCoro::Task<> ChannelPostDraft::runUpload(QImage image)
{
    const QPointer<ChannelPostDraft> self(this);
    const quint64 generation = m_generation;
    setUploadingImage(true);
    std::optional<QString> address;
    try {
        address = co_await NetworkManager::shared().uploadImage(image);
    } catch (const std::exception &) {
        // The draft keeps the photo it had.
    }
    if (!self)
        co_return;
    if (address && generation == m_generation)
        setImageUrl(*address);
    setUploadingImage(false);
}

QCoro::Task<> ChannelPostDraft::runPublish(qint64 channelId)
{
    const QPointer<ChannelPostDraft> self(this);
    m_isPublishing = true;
    const bool posted = co_await m_viewModel->createChannelPost(channelId, m_text, m_imageUrl);
    if (!self)
        co_return;
    m_isPublishing = false;
    if (!posted)
        co_return;
    ++m_generation;
    setText(QString());
    setImageUrl(QString());
    Q_EMIT published();
}

void ChannelPostDraft::setImageUrl(const QString &address)
{
    if (m_imageUrl == address)
        return;
    m_imageUrl = address;
    Q_EMIT imageUrlChanged();
}

void ChannelPostDraft::setUploadingImage(bool uploading)
{
    if (m_isUploadingImage == uploading)
        return;
    m_isUploadingImage = uploading;
    Q_EMIT isUploadingImageChanged();
}
