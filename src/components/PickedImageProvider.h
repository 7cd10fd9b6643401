#pragma once

#include <QImage>
#include <QQuickImageProvider>
#include <QString>
#include <QUrl>

// Serves photos the picker has already decoded to QML, at image://picked/<key>: the editing step
// shows the very pixels it will cut the square from, and the file is never decoded a second time.
// Requests come on Qt Quick's loader thread, which also does the scaling down to the requested size.
class PickedImageProvider : public QQuickImageProvider
{
public:
    static constexpr const char *providerId = "picked";

    PickedImageProvider();

    QImage requestImage(const QString &id, QSize *size, const QSize &requestedSize) override;

    // Serves `image` at a fresh address until drop() is called with that address.
    static QUrl keep(const QImage &image);
    static void drop(const QUrl &address);
};
