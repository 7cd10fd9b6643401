#include "PlaylistDraft.h"

#include "NetworkManager.h"

#include <QImage>
#include <QPointer>

#include <exception>

void PlaylistDraft::setName(const QString &name)
{
    if (m_name == name)
        return;
    m_name = name;
    Q_EMIT changed();
}

void PlaylistDraft::setDescription(const QString &description)
{
    if (m_description == description)
        return;
    m_description = description;
    Q_EMIT changed();
}

void PlaylistDraft::setIsPublic(bool isPublic)
{
    if (m_isPublic == isPublic)
        return;
    m_isPublic = isPublic;
    Q_EMIT changed();
}

QString PlaylistDraft::coverButtonText() const
{
    return m_coverUrl.isEmpty() ? QStringLiteral("Выбрать обложку с телефона") : QStringLiteral("Обложка загружена ✓");
}

void PlaylistDraft::uploadCover(const QVariant &image)
{
    (void)runCoverUpload(image.value<QImage>());
}

QCoro::Task<> PlaylistDraft::runCoverUpload(QImage image)
{
    // The draft lives as long as the screen; the screen may still go before the reply.
    const QPointer<PlaylistDraft> self(this);
    m_isUploadingCover = true;
    Q_EMIT changed();
    std::optional<QString> address;
    try {
        address = co_await NetworkManager::shared().uploadImage(image);
    } catch (const std::exception &) {
    }
    if (!self)
        co_return;
    if (address)
        m_coverUrl = *address;
    m_isUploadingCover = false;
    Q_EMIT changed();
}

void PlaylistDraft::create(MusicViewModel *model)
{
    if (!model || !canCreate())
        return;
    model->createPlaylist(m_name, m_description,
                          m_coverUrl.isEmpty() ? std::nullopt : std::optional<QString>(m_coverUrl), m_isPublic);
    m_name.clear();
    m_description.clear();
    m_coverUrl.clear();
    Q_EMIT changed();
}
