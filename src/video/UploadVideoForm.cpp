#include "UploadVideoForm.h"

#include "DocumentPickerModel.h"
#include "VideoViewModel.h"

#include <QImage>

UploadVideoForm::UploadVideoForm(QObject *parent) : QObject(parent)
{
    for (const auto signal : {&UploadVideoForm::titleChanged, &UploadVideoForm::videoUrlChanged,
                              &UploadVideoForm::isSubmittingChanged, &UploadVideoForm::viewModelChanged})
        connect(this, signal, this, &UploadVideoForm::canSubmitChanged);
    connect(&m_video, &UploadSlot::addressChanged, this, &UploadVideoForm::videoUrlChanged);
    connect(&m_video, &UploadSlot::uploadingChanged, this, &UploadVideoForm::isUploadingVideoChanged);
    connect(&m_thumbnail, &UploadSlot::addressChanged, this, &UploadVideoForm::thumbnailUrlChanged);
    connect(&m_thumbnail, &UploadSlot::uploadingChanged, this, &UploadVideoForm::isUploadingThumbnailChanged);
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
    return m_viewModel && !m_title.isEmpty() && !videoUrl().isEmpty() && !m_isSubmitting && !m_isRegistered;
}

QString UploadVideoForm::videoButtonText() const
{
    return videoUrl().isEmpty() ? QStringLiteral("Выбрать видеофайл с телефона")
                                : QStringLiteral("Видеофайл загружен ✓");
}

QString UploadVideoForm::fileLine() const
{
    return videoUrl().isEmpty() ? QString() : QStringLiteral("Файл: ") + videoUrl();
}

QString UploadVideoForm::thumbnailButtonText() const
{
    return thumbnailUrl().isEmpty() ? QStringLiteral("Выбрать превью с телефона")
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
        m_video.uploadFile(path);
}

void UploadVideoForm::uploadThumbnail(const QVariant &image)
{
    m_thumbnail.uploadImage(image.value<QImage>());
}

void UploadVideoForm::submit()
{
    if (canSubmit())
        (void)runSubmit();
}

QCoro::Task<> UploadVideoForm::runSubmit()
{
    const QPointer<UploadVideoForm> self(this);
    setIsSubmitting(true);
    // The model outlives the form: a video confirmed after "Отмена" still goes first in its list.
    const bool registered = co_await m_viewModel->uploadNewVideo(m_title, m_description, videoUrl(), thumbnailUrl());
    if (!self)
        co_return;
    // Set before the busy flag drops, so that no moment lets a second press through.
    m_isRegistered = registered;
    setIsSubmitting(false);
    if (registered)
        Q_EMIT closeRequested();
}

void UploadVideoForm::setIsSubmitting(bool value)
{
    if (value == m_isSubmitting)
        return;
    m_isSubmitting = value;
    Q_EMIT isSubmittingChanged();
}
