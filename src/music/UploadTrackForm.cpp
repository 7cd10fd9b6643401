#include "UploadTrackForm.h"

#include <QImage>

UploadTrackForm::UploadTrackForm(QObject *parent) : QObject(parent)
{
    connect(this, &UploadTrackForm::fieldsChanged, this, &UploadTrackForm::canSaveChanged);
    connect(this, &UploadTrackForm::busyChanged, this, &UploadTrackForm::canSaveChanged);
    for (const UploadSlot *slot : {&m_audio, &m_cover}) {
        connect(slot, &UploadSlot::addressChanged, this, &UploadTrackForm::fieldsChanged);
        connect(slot, &UploadSlot::uploadingChanged, this, &UploadTrackForm::busyChanged);
    }
}

void UploadTrackForm::setViewModel(MusicViewModel *model)
{
    if (m_viewModel == model)
        return;
    m_viewModel = model;
    Q_EMIT viewModelChanged();
}

void UploadTrackForm::setField(QString &field, const QString &value)
{
    if (field == value)
        return;
    field = value;
    Q_EMIT fieldsChanged();
}

void UploadTrackForm::setBusy(bool &flag, bool value)
{
    flag = value;
    Q_EMIT busyChanged();
}

void UploadTrackForm::setTitle(const QString &text)
{
    setField(m_title, text);
}

void UploadTrackForm::setArtist(const QString &text)
{
    setField(m_artist, text);
}

void UploadTrackForm::setAlbum(const QString &text)
{
    setField(m_album, text);
}

bool UploadTrackForm::canSave() const
{
    return !m_title.isEmpty() && !m_artist.isEmpty() && !audioUrl().isEmpty() && !m_isSubmitting && !m_isStored;
}

QString UploadTrackForm::audioButtonText() const
{
    return audioUrl().isEmpty() ? QStringLiteral("Выбрать аудиофайл с телефона")
                                : QStringLiteral("Аудиофайл загружен ✓");
}

QString UploadTrackForm::coverButtonText() const
{
    return coverUrl().isEmpty() ? QStringLiteral("Выбрать обложку с телефона") : QStringLiteral("Обложка загружена ✓");
}

void UploadTrackForm::uploadAudio(const QUrl &fileUrl)
{
    m_audio.uploadFile(fileUrl);
}

void UploadTrackForm::uploadCover(const QVariant &image)
{
    m_cover.uploadImage(image.value<QImage>());
}

void UploadTrackForm::save()
{
    if (!m_isSubmitting && !m_isStored)
        (void)runSave();
}

QCoro::Task<> UploadTrackForm::runSave()
{
    if (!m_viewModel)
        co_return;
    const QPointer<UploadTrackForm> self(this);
    setBusy(m_isSubmitting, true);
    // The model's own task carries on when the sheet is swiped away meanwhile.
    const bool stored = co_await m_viewModel->uploadNewTrack(m_title, m_artist, m_album, audioUrl(), coverUrl());
    if (!self)
        co_return;
    // Set before the busy flag drops, so that no moment lets a second press through.
    m_isStored = stored;
    setBusy(m_isSubmitting, false);
    if (stored)
        Q_EMIT saved();
}
