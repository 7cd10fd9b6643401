#pragma once

#include "LoadingModel.h"
#include "Video.h"

#include <QtQml/qqmlregistration.h>

// The video catalogue: the video list loaded from the service.
class VideoViewModel : public LoadingModel
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QAbstractItemModel *videos READ videosModel CONSTANT)

public:
    // Starts loading "videos.php" at once.
    explicit VideoViewModel(QObject *parent = nullptr);

    const QList<Video> &videos() const { return m_videos.rows(); }
    QAbstractItemModel *videosModel() { return &m_videos; }

    // A failed load only ends the busy state.
    Q_INVOKABLE void loadVideos();

Q_SIGNALS:
    void videosChanged();

private:
    RecordListModel<Video> m_videos;
};
