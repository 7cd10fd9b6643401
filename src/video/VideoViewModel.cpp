#include "VideoViewModel.h"

VideoViewModel::VideoViewModel(QObject *parent)
    : LoadingModel(parent),
      m_videos({{"videoId", [](const Video &video) { return QVariant(QString::number(video.id)); }},
                {"title", [](const Video &video) { return QVariant(video.title); }},
                {"authorName", [](const Video &video) { return QVariant(video.author.fullName()); }},
                {"authorAvatarUrl", [](const Video &video) { return optionalText(video.author.avatarUrl); }},
                {"thumbnailUrl", [](const Video &video) { return QVariant(video.thumbnailUrl); }},
                {"durationFormatted", [](const Video &video) { return QVariant(video.durationFormatted()); }},
                {"createdAtFormatted", [](const Video &video) { return QVariant(video.createdAtFormatted); }},
                {"byline",
                 [](const Video &video) {
                     return QVariant(video.author.fullName() + QStringLiteral(" • ") + video.createdAtFormatted);
                 }}},
               this)
{
    loadVideos();
}

void VideoViewModel::loadVideos()
{
    loadList(QStringLiteral("videos.php"), m_videos, [this] { Q_EMIT videosChanged(); });
}
