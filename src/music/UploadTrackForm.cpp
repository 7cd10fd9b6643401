#include "UploadTrackForm.h"

#include "NetworkManager.h"

#include <QImage>

#include <exception>

UploadTrackForm::UploadTrackForm(QObject *parent) : QObject(parent)
{
    connect(this, &UploadTrackForm::fieldsChanged, this, &UploadTrackForm::canSaveChanged);
    connect(this, &UploadTrackForm::busyChanged, this, &UploadTrackForm::canSaveChanged);
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
    return !m_title.isEmpty() && !m_artist.isEmpty() && !m_audioUrl.isEmpty() && !m_isSubmitting;
}

QString UploadTrackForm::audioButtonText() const
{
    return m_audioUrl.isEmpty() ? QStringLiteral("Выбрать аудиофайл с телефона")
                                : QStringLiteral("Аудиофайл загружен ✓");
}

QString UploadTrackForm::coverButtonText() const
{
    return m_coverUrl.isEmpty() ? QStringLiteral("Выбрать обложку с телефона") : QStringLiteral("Обложка загружена ✓");
}

void UploadTrackForm::uploadAudio(const QUrl &fileUrl)
{
    (void)runAudioUpload(fileUrl.isLocalFile() ? fileUrl.toLocalFile() : fileUrl.toString());
}

void UploadTrackForm::uploadCover(const QVariant &image)
{
    (void)runCoverUpload(image.value<QImage>());
}

void UploadTrackForm::save()
{
    if (!m_isSubmitting)
        (void)runSave();
}

QCoro::Task<> UploadTrackForm::runAudioUpload(QString path)
{
    const QPointer<UploadTrackForm> self(this);
    setBusy(m_isUploadingAudio, true);
    std::optional<QString> address;
    try {
        address = co_await NetworkManager::shared().uploadFile(path);
    } catch (const std::exception &) {
        // Silent: the earlier file, if any, stays attached.
    }
    if (!self)
        co_return;
    if (address)
        setField(m_audioUrl, *address);
    setBusy(m_isUploadingAudio, false);
}

QCoro::Task<> UploadTrackForm::runCoverUpload(QImage image)
{
    const QPointer<UploadTrackForm> self(this);
    setBusy(m_isUploadingCover, true);
    std::optional<QString> address;
    try {
        address = co_await NetworkManager::shared().uploadImage(image);
    } catch (const std::exception &) {
    }
    if (!self)
        co_return;
    if (address)
        setField(m_coverUrl, *address);
    setBusy(m_isUploadingCover, false);
}

QCoro::Task<> UploadTrackForm::runSave()
{
    if (!m_viewModel)
        co_return;
    const QPointer<UploadTrackForm> self(this);
    setBusy(m_isSubmitting, true);
    // The model's own task carries on when the sheet is swiped away meanwhile.
    const bool stored = co_await m_viewModel->uploadNewTrack(m_title, m_artist, m_album, m_audioUrl, m_coverUrl);
    if (!self)
        co_return;
    setBusy(m_isSubmitting, false);
    if (stored)
        Q_EMIT saved();
}
