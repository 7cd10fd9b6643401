#pragma once

#include "RecordListModel.h"
#include "Video.h"

#include <QCoroTask>
#include <QObject>
#include <QtQml/qqmlregistration.h>

// The video catalogue: the video list loaded from the service.
class VideoViewModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QAbstractItemModel *videos READ videosModel CONSTANT)
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY isLoadingChanged)

public:
    // Starts loading "videos.php" at once.
    explicit VideoViewModel(QObject *parent = nullptr);

    const QList<Video> &videos() const { return m_videos.rows(); }
    QAbstractItemModel *videosModel() { return &m_videos; }
    bool isLoading() const { return m_isLoading; }

    // A failed load only ends the busy state.
    Q_INVOKABLE void loadVideos();

Q_SIGNALS:
    void videosChanged();
    void isLoadingChanged();

private:
    QCoro::Task<> fetch();
    void setIsLoading(bool value);

    RecordListModel<Video> m_videos;
    bool m_isLoading = false;
};
