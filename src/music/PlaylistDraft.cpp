#include "PlaylistDraft.h"

#include <QImage>

PlaylistDraft::PlaylistDraft(QObject *parent) : QObject(parent)
{
    connect(&m_cover, &UploadSlot::addressChanged, this, &PlaylistDraft::changed);
    connect(&m_cover, &UploadSlot::uploadingChanged, this, &PlaylistDraft::changed);
}

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
    return m_cover.address().isEmpty() ? QStringLiteral("Выбрать обложку с телефона")
                                       : QStringLiteral("Обложка загружена ✓");
}

void PlaylistDraft::uploadCover(const QVariant &image)
{
    m_cover.uploadImage(image.value<QImage>());
}

void PlaylistDraft::create(MusicViewModel *model)
{
    if (!model || !canCreate())
        return;
    model->createPlaylist(m_name, m_description,
                          coverUrl().isEmpty() ? std::nullopt : std::optional<QString>(coverUrl()), m_isPublic);
    m_name.clear();
    m_description.clear();
    m_cover.setAddress(QString());
    Q_EMIT changed();
}
