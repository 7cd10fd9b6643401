#include "EditProfileModel.h"

#include "ProfileViewModel.h"
#include "SessionStore.h"

#include <QImage>

EditProfileModel::EditProfileModel(QObject *parent) : QObject(parent)
{
    // An upload the service answers with an empty address counts as failed: the row stays.
    connect(&m_avatar, &UploadSlot::addressChanged, this, &EditProfileModel::avatarUrlChanged);
    connect(&m_avatar, &UploadSlot::uploadingChanged, this, &EditProfileModel::isUploadingAvatarChanged);
    connect(&m_cover, &UploadSlot::addressChanged, this, &EditProfileModel::coverUrlChanged);
    connect(&m_cover, &UploadSlot::uploadingChanged, this, &EditProfileModel::isUploadingCoverChanged);
}

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
    m_avatar.setAddress(url);
}

void EditProfileModel::setCoverUrl(const QString &url)
{
    m_cover.setAddress(url);
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
    return avatarUrl().isEmpty() ? QStringLiteral("Выбрать аватарку с телефона")
                                 : QStringLiteral("Аватарка загружена ✓");
}

QString EditProfileModel::coverLabel() const
{
    return coverUrl().isEmpty() ? QStringLiteral("Выбрать обложку с телефона") : QStringLiteral("Обложка загружена ✓");
}

void EditProfileModel::uploadAvatar(const QVariant &image)
{
    m_avatar.uploadImage(image.value<QImage>());
}

void EditProfileModel::uploadCover(const QVariant &image)
{
    m_cover.uploadImage(image.value<QImage>());
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
    // Every press sends: a second update carries the same texts and makes no second record.
    const bool accepted = co_await profile->updateProfile(avatarUrl(), coverUrl(), m_statusText, m_bio);
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
