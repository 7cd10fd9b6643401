#pragma once

#include <QImage>
#include <QObject>
#include <QRectF>
#include <QStringList>
#include <QUrl>
#include <QtQml/qqmlregistration.h>

#include <atomic>
#include <memory>

template <class T> class QFutureWatcher;

// The photo picker's editing step: the picked photo lies under a square frame, the user moves
// and scales it, and confirming hands on the square that the frame covers. The file dialog ends
// in openImage(), so everything after the dialog can be driven without it. The photo is read on a
// pool thread, once, at most PickedPhotoReader::maxSide pixels along its longer side; the editing
// step shows that same picture through PickedImageProvider.
class ImagePickerModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY loadingChanged)
    Q_PROPERTY(bool hasImage READ hasImage NOTIFY imageChanged)
    Q_PROPERTY(QUrl imageUrl READ imageUrl NOTIFY imageChanged)
    Q_PROPERTY(qreal frameSize READ frameSize WRITE setFrameSize NOTIFY geometryChanged)
    Q_PROPERTY(qreal zoom READ zoom WRITE setZoom NOTIFY geometryChanged)
    Q_PROPERTY(qreal maximumZoom READ maximumZoom CONSTANT)
    Q_PROPERTY(QRectF displayRect READ displayRect NOTIFY geometryChanged)
    Q_PROPERTY(QStringList nameFilters READ nameFilters CONSTANT)

public:
    explicit ImagePickerModel(QObject *parent = nullptr);
    ~ImagePickerModel() override;

    // The picked photo is being read.
    bool isLoading() const { return m_reading != nullptr; }
    bool hasImage() const { return !m_image.isNull(); }
    QUrl imageUrl() const { return m_imageUrl; }
    QImage image() const { return m_image; }
    qreal frameSize() const { return m_frameSize; }
    void setFrameSize(qreal size);
    qreal zoom() const { return m_zoom; }
    void setZoom(qreal zoom);
    qreal maximumZoom() const { return 4.0; }
    // The picture files the photo reader takes, for the file dialog.
    static QStringList nameFilters();
    // Where the photo is drawn, relative to the frame's top-left corner, in frame units.
    QRectF displayRect() const;
    // The square of the photo that the frame covers, in the photo's pixels.
    QRect cropRect() const;

    // The picked file (a local path or a file URL). No regular file at all (a FIFO or a device,
    // which would block the read) ends the picker at once with nothing delivered, and false comes
    // back; otherwise the photo is read off the GUI thread and true comes back. A file that turns
    // out to be no picture the reader can decode ends the picker with nothing delivered then.
    Q_INVOKABLE bool openImage(const QString &pathOrUrl);
    // Moves the photo by a drag of (dx, dy) in frame units; it never uncovers the frame.
    Q_INVOKABLE void pan(qreal dx, qreal dy);
    // Scales by a factor around the frame's centre.
    Q_INVOKABLE void zoomBy(qreal factor);
    // Delivers the square cut-out (the unedited photo when cutting yields nothing), then ends;
    // after the first confirm or cancel, neither does anything. While the photo is read there is
    // nothing to choose yet, and confirming does nothing; cancelling ends the picker then and drops
    // the photo whenever its reading ends.
    Q_INVOKABLE void confirm();
    Q_INVOKABLE void cancel();

Q_SIGNALS:
    void loadingChanged();
    void imageChanged();
    void geometryChanged();
    void imagePicked(const QImage &image);
    void finished();

private:
    qreal baseScale() const;
    void scaleOffset(qreal ratio);
    void clampOffset();
    void reset();
    void show(QImage image);
    void startReading(int fd);
    void readingEnded();
    // Lets go of a reading still running: its photo, whenever it comes, is dropped unseen.
    void dropReading();
    void end();
    QImage squareOf(const QRect &rect) const;

    QImage m_image;
    // Where QML sees m_image; dropped with it.
    QUrl m_imageUrl;
    // The reading under way; a child, so a reading that ends after the model finds nobody to tell.
    QFutureWatcher<QImage> *m_reading = nullptr;
    // Set when the reading is let go: one that has not begun then never decodes.
    std::shared_ptr<std::atomic_bool> m_abandoned;
    qreal m_frameSize = 300;
    qreal m_zoom = 1.0;
    // Displacement of the photo's centre from the frame's centre, in frame units.
    qreal m_offsetX = 0;
    qreal m_offsetY = 0;
    // Confirmed or cancelled: the picker is done and takes no further answer.
    bool m_finished = false;
};
