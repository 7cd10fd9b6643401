#pragma once

#include "MusicViewModel.h"
#include "UploadSlot.h"

#include <QCoroTask>
#include <QObject>
#include <QPointer>
#include <QUrl>
#include <QtQml/qqmlregistration.h>

// The track upload form's state, made afresh with each opening of its sheet. The picked audio
// and cover are uploaded at once and only their addresses kept; saving hands the texts to the
// music model. An upload or a save that ends after the sheet has gone touches no form: the save
// still lands in the model, an upload's address is dropped with the form.
class UploadTrackForm : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(MusicViewModel *viewModel READ viewModel WRITE setViewModel NOTIFY viewModelChanged)
    Q_PROPERTY(QString title READ title WRITE setTitle NOTIFY fieldsChanged)
    Q_PROPERTY(QString artist READ artist WRITE setArtist NOTIFY fieldsChanged)
    Q_PROPERTY(QString album READ album WRITE setAlbum NOTIFY fieldsChanged)
    Q_PROPERTY(QString audioUrl READ audioUrl NOTIFY fieldsChanged)
    Q_PROPERTY(QString coverUrl READ coverUrl NOTIFY fieldsChanged)
    Q_PROPERTY(bool isUploadingAudio READ isUploadingAudio NOTIFY busyChanged)
    Q_PROPERTY(bool isUploadingCover READ isUploadingCover NOTIFY busyChanged)
    Q_PROPERTY(bool isSubmitting READ isSubmitting NOTIFY busyChanged)
    Q_PROPERTY(bool canSave READ canSave NOTIFY canSaveChanged)
    Q_PROPERTY(QString audioButtonText READ audioButtonText NOTIFY fieldsChanged)
    Q_PROPERTY(QString coverButtonText READ coverButtonText NOTIFY fieldsChanged)

public:
    explicit UploadTrackForm(QObject *parent = nullptr);

    MusicViewModel *viewModel() const { return m_viewModel; }
    void setViewModel(MusicViewModel *model);
    QString title() const { return m_title; }
    void setTitle(const QString &text);
    QString artist() const { return m_artist; }
    void setArtist(const QString &text);
    QString album() const { return m_album; }
    void setAlbum(const QString &text);
    QString audioUrl() const { return m_audio.address(); }
    QString coverUrl() const { return m_cover.address(); }
    bool isUploadingAudio() const { return m_audio.isUploading(); }
    bool isUploadingCover() const { return m_cover.isUploading(); }
    bool isSubmitting() const { return m_isSubmitting; }
    // Title, artist and audio present as they stand (blanks count), no save running and none stored.
    bool canSave() const;
    QString audioButtonText() const;
    QString coverButtonText() const;

    // The document picker's copy of the chosen file. A failed upload keeps the earlier address.
    Q_INVOKABLE void uploadAudio(const QUrl &fileUrl);
    // The photo picker's picture (a QImage). A failed upload keeps the earlier address.
    Q_INVOKABLE void uploadCover(const QVariant &image);
    // Sends the five texts as they stand; `saved` follows only when the service stored the track.
    // A press while a save runs, or once the track is stored (the sheet still sliding away), sends
    // nothing: one form makes at most one track.
    Q_INVOKABLE void save();

Q_SIGNALS:
    void viewModelChanged();
    void fieldsChanged();
    void busyChanged();
    void canSaveChanged();
    void saved();

private:
    QCoro::Task<> runSave();
    void setField(QString &field, const QString &value);
    void setBusy(bool &flag, bool value);

    QPointer<MusicViewModel> m_viewModel;
    QString m_title;
    QString m_artist;
    QString m_album;
    UploadSlot m_audio;
    UploadSlot m_cover;
    bool m_isSubmitting = false;
    bool m_isStored = false;
};
