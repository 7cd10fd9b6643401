#include "VideoViewModel.h"

#include "APIResponse.h"
#include "NetworkManager.h"
#include "VideoCatalogRules.h"

#include <QJsonObject>
#include <QPointer>

#include <exception>

VideoViewModel::VideoViewModel(QObject *parent)
    : QObject(parent),
      m_videos({{"videoId", [](const Video &video) { return QVariant(QString::number(video.id)); }},
                {"title", [](const Video &video) { return QVariant(video.title); }},
                {"authorAvatarUrl", [](const Video &video) { return optionalText(video.author.avatarUrl); }},
                {"thumbnailUrl", [](const Video &video) { return QVariant(video.thumbnailUrl); }},
                {"durationFormatted", [](const Video &video) { return QVariant(video.durationFormatted()); }},
                {"infoLine", [](const Video &video) { return QVariant(VideoCatalogRules::infoLine(video)); }}},
               this)
{
    loadVideos();
}

void VideoViewModel::loadVideos()
{
    (void)fetchVideos();
}

QCoro::Task<> VideoViewModel::fetchVideos()
{
    // A screen closed before the reply takes its list with it.
    const QPointer<VideoViewModel> self(this);
    try {
        const QList<Video> list = co_await NetworkManager::shared().request<QList<Video>>(QStringLiteral("videos.php"));
        if (!self)
            co_return;
        m_videos.setRows(list);
        Q_EMIT videosChanged();
    } catch (const std::exception &) {
        // A failed fetch keeps what is shown; nothing asks again.
    }
}

QCoro::Task<bool> VideoViewModel::uploadNewVideo(QString title, QString description, QString videoUrl,
                                                 QString thumbnailUrl)
{
    const QPointer<VideoViewModel> self(this);
    const QJsonObject body{{QStringLiteral("title"), title},
                           {QStringLiteral("description"), description},
                           {QStringLiteral("video_url"), videoUrl},
                           {QStringLiteral("thumbnail_url"), thumbnailUrl}};
    APIResponse<Video> reply;
    try {
        reply = co_await NetworkManager::shared().request<APIResponse<Video>>(QStringLiteral("video_upload.php"),
                                                                              QStringLiteral("POST"), body);
    } catch (const std::exception &) {
        co_return false;
    }
    if (!reply.success || !reply.data || !self)
        co_return false;
    // A row of its own: the cards already shown stay where they are.
    m_videos.insertRow(0, *reply.data);
    Q_EMIT videosChanged();
    co_return true;
}
