#pragma once

#include <QCoroTask>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

#include "ProfileViewModel.h"
#include "UploadSlot.h"

// The profile editor's form: the four texts seeded from the profile model's user when the editor
// opens, the two picture uploads, and the save. The form lives as long as its sheet; an upload
// that ends after the sheet closed is dropped, a save that ends then still reaches the profile
// model and the stored session.
class EditProfileModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    // Set once, when the editor opens; the texts are seeded from its user then.
    Q_PROPERTY(ProfileViewModel *viewModel READ viewModel WRITE setViewModel NOTIFY viewModelChanged)
    Q_PROPERTY(QString avatarUrl READ avatarUrl WRITE setAvatarUrl NOTIFY avatarUrlChanged)
    Q_PROPERTY(QString coverUrl READ coverUrl WRITE setCoverUrl NOTIFY coverUrlChanged)
    Q_PROPERTY(QString statusText READ statusText WRITE setStatusText NOTIFY statusTextChanged)
    Q_PROPERTY(QString bio READ bio WRITE setBio NOTIFY bioChanged)
    Q_PROPERTY(QString avatarLabel READ avatarLabel NOTIFY avatarUrlChanged)
    Q_PROPERTY(QString coverLabel READ coverLabel NOTIFY coverUrlChanged)
    Q_PROPERTY(bool isUploadingAvatar READ isUploadingAvatar NOTIFY isUploadingAvatarChanged)
    Q_PROPERTY(bool isUploadingCover READ isUploadingCover NOTIFY isUploadingCoverChanged)

public:
    explicit EditProfileModel(QObject *parent = nullptr);

    ProfileViewModel *viewModel() const { return m_viewModel; }
    void setViewModel(ProfileViewModel *viewModel);

    QString avatarUrl() const { return m_avatar.address(); }
    void setAvatarUrl(const QString &url);
    QString coverUrl() const { return m_cover.address(); }
    void setCoverUrl(const QString &url);
    QString statusText() const { return m_statusText; }
    void setStatusText(const QString &text);
    QString bio() const { return m_bio; }
    void setBio(const QString &text);

    // The pick buttons' labels depend only on whether the address is empty.
    QString avatarLabel() const;
    QString coverLabel() const;
    bool isUploadingAvatar() const { return m_avatar.isUploading(); }
    bool isUploadingCover() const { return m_cover.isUploading(); }

    // A picked picture (a QImage) is uploaded at once; its address replaces the form's when the
    // upload succeeds. A failed upload leaves the form as it was.
    Q_INVOKABLE void uploadAvatar(const QVariant &image);
    Q_INVOKABLE void uploadCover(const QVariant &image);

    // Sends the texts as they stand now. On success the profile model's user (with the texts
    // applied) becomes the stored session and `saved` follows; on failure nothing changes. Each
    // press starts a save of its own, also while another runs; each that succeeds stores the
    // session and reports `saved`. The closing sheet, not the form, takes no further press.
    Q_INVOKABLE void save();
    QCoro::Task<bool> saveProfile();

Q_SIGNALS:
    void viewModelChanged();
    void avatarUrlChanged();
    void coverUrlChanged();
    void statusTextChanged();
    void bioChanged();
    void isUploadingAvatarChanged();
    void isUploadingCoverChanged();
    // The save went through; `user` is the updated User.
    void saved(const QVariant &user);

private:
    QPointer<ProfileViewModel> m_viewModel;
    UploadSlot m_avatar;
    UploadSlot m_cover;
    QString m_statusText;
    QString m_bio;
};
