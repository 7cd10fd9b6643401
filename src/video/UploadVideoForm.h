#pragma once

#include "UploadSlot.h"

#include <QCoroTask>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

class VideoViewModel;
Q_MOC_INCLUDE("VideoViewModel.h")

// The state and flows of the video upload form: the video file and the preview are uploaded as
// soon as they are picked, and "Загрузить" registers the video through the catalogue's model.
// Uploads and the submit that end after the form is gone change nothing of it; a confirmed video
// still goes first in the catalogue, which the model does.
class UploadVideoForm : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(VideoViewModel *viewModel READ viewModel WRITE setViewModel NOTIFY viewModelChanged)
    Q_PROPERTY(QString title READ title WRITE setTitle NOTIFY titleChanged)
    Q_PROPERTY(QString description READ description WRITE setDescription NOTIFY descriptionChanged)
    Q_PROPERTY(QString videoUrl READ videoUrl NOTIFY videoUrlChanged)
    Q_PROPERTY(QString thumbnailUrl READ thumbnailUrl NOTIFY thumbnailUrlChanged)
    Q_PROPERTY(bool isUploadingVideo READ isUploadingVideo NOTIFY isUploadingVideoChanged)
    Q_PROPERTY(bool isUploadingThumbnail READ isUploadingThumbnail NOTIFY isUploadingThumbnailChanged)
    Q_PROPERTY(bool isSubmitting READ isSubmitting NOTIFY isSubmittingChanged)
    Q_PROPERTY(bool canSubmit READ canSubmit NOTIFY canSubmitChanged)
    Q_PROPERTY(QString videoButtonText READ videoButtonText NOTIFY videoUrlChanged)
    Q_PROPERTY(QString fileLine READ fileLine NOTIFY videoUrlChanged)
    Q_PROPERTY(QString thumbnailButtonText READ thumbnailButtonText NOTIFY thumbnailUrlChanged)
    Q_PROPERTY(QStringList videoContentTypes READ videoContentTypes CONSTANT)

public:
    explicit UploadVideoForm(QObject *parent = nullptr);

    VideoViewModel *viewModel() const;
    void setViewModel(VideoViewModel *viewModel);
    QString title() const { return m_title; }
    void setTitle(const QString &title);
    QString description() const { return m_description; }
    void setDescription(const QString &description);
    QString videoUrl() const { return m_video.address(); }
    QString thumbnailUrl() const { return m_thumbnail.address(); }
    bool isUploadingVideo() const { return m_video.isUploading(); }
    bool isUploadingThumbnail() const { return m_thumbnail.isUploading(); }
    bool isSubmitting() const { return m_isSubmitting; }

    // The raw title and the video address must not be empty (a title of spaces counts), and no
    // submit may be running or have registered the video; the description, the preview and running
    // uploads take no part.
    bool canSubmit() const;
    QString videoButtonText() const;
    // "Файл: " and the stored address; empty while no file is uploaded.
    QString fileLine() const;
    QString thumbnailButtonText() const;
    // Movie, video, QuickTime movie and MPEG-4 movie, in this order.
    static QStringList videoContentTypes();

    // The document picker's copy (a file URL or a local path): uploaded at once. A failed upload
    // keeps the earlier address; the last upload to succeed wins.
    Q_INVOKABLE void uploadVideoFile(const QVariant &fileUrl);
    // The photo picker's image: uploaded at once, with the same rules for the preview address.
    Q_INVOKABLE void uploadThumbnail(const QVariant &image);
    // Registers the video with the inputs as they stand; closeRequested() follows a confirmation,
    // while a refusal leaves every input as it was. After a confirmation the form takes no further
    // press, though its sheet still shows while it slides away.
    Q_INVOKABLE void submit();

Q_SIGNALS:
    void viewModelChanged();
    void titleChanged();
    void descriptionChanged();
    void videoUrlChanged();
    void thumbnailUrlChanged();
    void isUploadingVideoChanged();
    void isUploadingThumbnailChanged();
    void isSubmittingChanged();
    void canSubmitChanged();
    void closeRequested();

private:
    QCoro::Task<> runSubmit();
    void setIsSubmitting(bool value);

    QPointer<VideoViewModel> m_viewModel;
    QString m_title;
    QString m_description;
    UploadSlot m_video;
    UploadSlot m_thumbnail;
    bool m_isSubmitting = false;
    bool m_isRegistered = false;
};
