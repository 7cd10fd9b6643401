#include "UploadVideoForm.h"

#include "DocumentPickerModel.h"
#include "NetworkManager.h"
#include "VideoViewModel.h"

#include <QImage>

#include <exception>
#include <optional>

UploadVideoForm::UploadVideoForm(QObject *parent) : QObject(parent)
{
    for (const auto signal : {&UploadVideoForm::titleChanged, &UploadVideoForm::videoUrlChanged,
                              &UploadVideoForm::isSubmittingChanged, &UploadVideoForm::viewModelChanged})
        connect(this, signal, this, &UploadVideoForm::canSubmitChanged);
}

VideoViewModel *UploadVideoForm::viewModel() const
{
    return m_viewModel;
}

void UploadVideoForm::setViewModel(VideoViewModel *viewModel)
{
    if (viewModel == m_viewModel)
        return;
    m_viewModel = viewModel;
    Q_EMIT viewModelChanged();
}

void UploadVideoForm::setTitle(const QString &title)
{
    if (title == m_title)
        return;
    m_title = title;
    Q_EMIT titleChanged();
}

void UploadVideoForm::setDescription(const QString &description)
{
    if (description == m_description)
        return;
    m_description = description;
    Q_EMIT descriptionChanged();
}

bool UploadVideoForm::canSubmit() const
{
    return m_viewModel && !m_title.isEmpty() && !m_videoUrl.isEmpty() && !m_isSubmitting;
}

QString UploadVideoForm::videoButtonText() const
{
    return m_videoUrl.isEmpty() ? QStringLiteral("Выбрать видеофайл с телефона")
                                : QStringLiteral("Видеофайл загружен ✓");
}

QString UploadVideoForm::fileLine() const
{
    return m_videoUrl.isEmpty() ? QString() : QStringLiteral("Файл: ") + m_videoUrl;
}

QString UploadVideoForm::thumbnailButtonText() const
{
    return m_thumbnailUrl.isEmpty() ? QStringLiteral("Выбрать превью с телефона")
                                    : QStringLiteral("Превью загружено ✓");
}

QStringList UploadVideoForm::videoContentTypes()
{
    return {DocumentPickerModel::movie, DocumentPickerModel::video, DocumentPickerModel::quickTimeMovie,
            DocumentPickerModel::mpeg4Movie};
}

void UploadVideoForm::uploadVideoFile(const QVariant &fileUrl)
{
    const QUrl url = fileUrl.toUrl();
    const QString path = url.isLocalFile() ? url.toLocalFile() : fileUrl.toString();
    if (!path.isEmpty())
        (void)runVideoUpload(path);
}

void UploadVideoForm::uploadThumbnail(const QVariant &image)
{
    (void)runThumbnailUpload(image.value<QImage>());
}

void UploadVideoForm::submit()
{
    if (canSubmit())
        (void)runSubmit();
}

QCoro::Task<> UploadVideoForm::runVideoUpload(QString localPath)
{
    // The form may be closed while the file travels: its result then goes nowhere.
    const QPointer<UploadVideoForm> self(this);
    setIsUploadingVideo(true);
    std::optional<QString> address;
    try {
        address = co_await NetworkManager::shared().uploadFile(localPath);
    } catch (const std::exception &) {
        // A failed upload keeps the address of an earlier file.
    }
    if (!self)
        co_return;
    if (address)
        setVideoUrl(*address);
    setIsUploadingVideo(false);
}

QCoro::Task<> UploadVideoForm::runThumbnailUpload(QImage image)
{
    const QPointer<UploadVideoForm> self(this);
    setIsUploadingThumbnail(true);
    std::optional<QString> address;
    try {
        address = co_await NetworkManager::shared().uploadImage(image);
    } catch (const std::exception &) {
    }
    if (!self)
        co_return;
    if (address)
        setThumbnailUrl(*address);
    setIsUploadingThumbnail(false);
}

QCoro::Task<> UploadVideoForm::runSubmit()
{
    const QPointer<UploadVideoForm> self(this);
    setIsSubmitting(true);
    // The model outlives the form: a video confirmed after "Отмена" still goes first in its list.
    const bool registered = co_await m_viewModel->uploadNewVideo(m_title, m_description, m_videoUrl, m_thumbnailUrl);
    if (!self)
        co_return;
    setIsSubmitting(false);
    if (registered)
        Q_EMIT closeRequested();
}

void UploadVideoForm::setVideoUrl(const QString &url)
{
    if (url == m_videoUrl)
        return;
    m_videoUrl = url;
    Q_EMIT videoUrlChanged();
}

void UploadVideoForm::setThumbnailUrl(const QString &url)
{
    if (url == m_thumbnailUrl)
        return;
    m_thumbnailUrl = url;
    Q_EMIT thumbnailUrlChanged();
}

void UploadVideoForm::setIsUploadingVideo(bool value)
{
    if (value == m_isUploadingVideo)
        return;
    m_isUploadingVideo = value;
    Q_EMIT isUploadingVideoChanged();
}

void UploadVideoForm::setIsUploadingThumbnail(bool value)
{
    if (value == m_isUploadingThumbnail)
        return;
    m_isUploadingThumbnail = value;
    Q_EMIT isUploadingThumbnailChanged();
}

void UploadVideoForm::setIsSubmitting(bool value)
{
    if (value == m_isSubmitting)
        return;
    m_isSubmitting = value;
    Q_EMIT isSubmittingChanged();
}
