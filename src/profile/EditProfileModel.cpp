#include "EditProfileModel.h"

#include "NetworkManager.h"
#include "ProfileViewModel.h"
#include "SessionStore.h"

#include <exception>
#include <optional>

EditProfileModel::EditProfileModel(QObject *parent) : QObject(parent) {}

void EditProfileModel::setViewModel(ProfileViewModel *viewModel)
{
    if (m_viewModel == viewModel)
        return;
    m_viewModel = viewModel;
    Q_EMIT viewModelChanged();
    if (!viewModel)
        return;
    // Seeded once: a change of the model's user while the editor is open does not reach the form.
    const User &user = viewModel->user();
    setAvatarUrl(user.avatarUrl.value_or(QString()));
    setCoverUrl(user.coverUrl.value_or(QString()));
    setStatusText(user.statusText.value_or(QString()));
    setBio(user.bio.value_or(QString()));
}

void EditProfileModel::setAvatarUrl(const QString &url)
{
    if (m_avatarUrl == url)
        return;
    m_avatarUrl = url;
    Q_EMIT avatarUrlChanged();
}

void EditProfileModel::setCoverUrl(const QString &url)
{
    if (m_coverUrl == url)
        return;
    m_coverUrl = url;
    Q_EMIT coverUrlChanged();
}

void EditProfileModel::setStatusText(const QString &text)
{
    if (m_statusText == text)
        return;
    m_statusText = text;
    Q_EMIT statusTextChanged();
}

void EditProfileModel::setBio(const QString &text)
{
    if (m_bio == text)
        return;
    m_bio = text;
    Q_EMIT bioChanged();
}

QString EditProfileModel::avatarLabel() const
{
    return m_avatarUrl.isEmpty() ? QStringLiteral("Выбрать аватарку с телефона")
                                 : QStringLiteral("Аватарка загружена ✓");
}

QString EditProfileModel::coverLabel() const
{
    return m_coverUrl.isEmpty() ? QStringLiteral("Выбрать обложку с телефона") : QStringLiteral("Обложка загружена ✓");
}

void EditProfileModel::uploadAvatar(const QVariant &image)
{
    (void)upload(image.value<QImage>(), Picture::Avatar);
}

void EditProfileModel::uploadCover(const QVariant &image)
{
    (void)upload(image.value<QImage>(), Picture::Cover);
}

QCoro::Task<> EditProfileModel::upload(QImage image, Picture picture)
{
    const QPointer<EditProfileModel> self(this);
    setUploading(picture, true);
    std::optional<QString> url;
    try {
        url = co_await NetworkManager::shared().uploadImage(image);
    } catch (const std::exception &) {
        // A failed upload leaves the row as it was.
    }
    if (!self)
        co_return;
    if (url)
        picture == Picture::Avatar ? setAvatarUrl(*url) : setCoverUrl(*url);
    // Two uploads of one picture may overlap: the first to end clears the indicator.
    setUploading(picture, false);
}

void EditProfileModel::setUploading(Picture picture, bool uploading)
{
    if (picture == Picture::Avatar) {
        m_isUploadingAvatar = uploading;
        Q_EMIT isUploadingAvatarChanged();
    } else {
        m_isUploadingCover = uploading;
        Q_EMIT isUploadingCoverChanged();
    }
}

void EditProfileModel::save()
{
    (void)saveProfile();
}

QCoro::Task<bool> EditProfileModel::saveProfile()
{
    // Neither the form nor the profile model is held: either may go while the save is under way.
    const QPointer<EditProfileModel> self(this);
    const QPointer<ProfileViewModel> profile = m_viewModel;
    if (!profile)
        co_return false;
    const bool accepted = co_await profile->updateProfile(m_avatarUrl, m_coverUrl, m_statusText, m_bio);
    if (!accepted || !profile)
        co_return false;
    // The stored session follows the profile; the running session's user stays as it is until the
    // next launch restores this record.
    const User user = profile->user();
    SessionStore::save(user);
    if (self)
        Q_EMIT self->saved(QVariant::fromValue(user));
    co_return true;
}
