#include "VideoViewModel.h"

#include "NetworkManager.h"

#include <QPointer>
#include <exception>

VideoViewModel::VideoViewModel(QObject *parent)
    : QObject(parent),
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
    setIsLoading(true);
    (void)fetch();
}

QCoro::Task<> VideoViewModel::fetch()
{
    const QPointer<VideoViewModel> self(this);
    try {
        const QList<Video> list = co_await NetworkManager::shared().request<QList<Video>>(QStringLiteral("videos.php"));
        if (!self)
            co_return;
        m_videos.setRows(list);
        Q_EMIT videosChanged();
    } catch (const std::exception &) {
        // A failed load keeps what is shown.
    }
    if (self)
        setIsLoading(false);
}

void VideoViewModel::setIsLoading(bool value)
{
    m_isLoading = value;
    Q_EMIT isLoadingChanged();
}
