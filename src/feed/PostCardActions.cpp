#include "PostCardActions.h"

#include "AudioPlayerManager.h"
#include "Post.h"
#include "RandomDraw.h"
#include "SiteAddress.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QSet>

namespace {
constexpr qint64 FirstTrackId = 100;
constexpr qint64 LastTrackId = 999;
constexpr int LinkPartLength = 8;
constexpr qint64 AttachmentTrackSeconds = 180;
} // namespace

QString PostCardActions::shareLink(qint64 postId, const RandomDraw &draw)
{
    return SiteAddress::root() + QStringLiteral("/post/") + QString::number(postId) + QLatin1Char('_') +
           draw.text(RandomDraw::lowerAlphanumerics(), LinkPartLength);
}

Track PostCardActions::attachmentTrack(const PostAttachment &attachment, qint64 trackId)
{
    Track track;
    track.id = trackId;
    track.title = attachment.title.value_or(QStringLiteral("Трек"));
    track.artist = attachment.subtitle.value_or(QStringLiteral("Артист"));
    track.durationSeconds = AttachmentTrackSeconds;
    track.audioUrl = attachment.url;
    return track;
}

void PostCardActions::playAttachment(const PostAttachment &attachment, AudioPlayerManager &player,
                                     const RandomDraw &draw)
{
    QSet<qint64> used;
    if (player.currentTrack())
        used.insert(player.currentTrack()->id);
    player.play(attachmentTrack(attachment, draw.unusedInteger(FirstTrackId, LastTrackId, used)));
}

QString PostCardActions::copyLink(const QVariant &post)
{
    if (post.metaType() != QMetaType::fromType<Post>())
        return {};
    const QString link = shareLink(post.value<Post>().id, RandomDraw::shared());
    if (QClipboard *clipboard = QGuiApplication::clipboard())
        clipboard->setText(link);
    return link;
}

void PostCardActions::play(const QVariant &post, int index)
{
    if (const std::optional<PostAttachment> attachment = audioAttachment(post, index))
        playAttachment(*attachment, AudioPlayerManager::shared(), RandomDraw::shared());
}

std::optional<PostAttachment> PostCardActions::audioAttachment(const QVariant &post, int index)
{
    if (post.metaType() != QMetaType::fromType<Post>())
        return std::nullopt;
    const QList<PostAttachment> &attachments = post.value<Post>().attachments;
    if (index < 0 || index >= attachments.size() || attachments.at(index).type != PostAttachment::AttachmentType::audio)
        return std::nullopt;
    return attachments.at(index);
}
