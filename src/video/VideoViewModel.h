#pragma once

#include "RecordListModel.h"
#include "Video.h"

#include <QCoroTask>
#include <QObject>
#include <QtQml/qqmlregistration.h>

// The video catalogue of the video tab: the list fetched once from "videos.php", with each video
// registered through uploadNewVideo() put in front. It keeps no busy flag: a failed fetch leaves
// the list as it was.
class VideoViewModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QAbstractItemModel *videos READ videosModel CONSTANT)

public:
    // Starts the one fetch of the list at once.
    explicit VideoViewModel(QObject *parent = nullptr);

    const QList<Video> &videos() const { return m_videos.rows(); }
    RecordListModel<Video> *videosModel() { return &m_videos; }

    // Starts fetching the list and returns; a list that arrives replaces the whole catalogue.
    void loadVideos();

    // Registers a stored video with the service. True once the service confirmed it and the video
    // stands first in the list; false for a refusal, a reply without the video or a failed call,
    // with the list unchanged. The texts and addresses are sent exactly as given.
    QCoro::Task<bool> uploadNewVideo(QString title, QString description, QString videoUrl, QString thumbnailUrl);

Q_SIGNALS:
    void videosChanged();

private:
    QCoro::Task<> fetchVideos();

    RecordListModel<Video> m_videos;
};
