#include "ChannelForm.h"

#include "ChannelsViewModel.h"
#include "NetworkManager.h"

#include <exception>

ChannelForm::ChannelForm(QObject *parent) : QObject(parent)
{
    connect(this, &ChannelForm::nameChanged, this, &ChannelForm::canSubmitChanged);
    connect(this, &ChannelForm::isSubmittingChanged, this, &ChannelForm::canSubmitChanged);
    connect(this, &ChannelForm::viewModelChanged, this, &ChannelForm::canSubmitChanged);
}

void ChannelForm::setViewModel(ChannelsViewModel *viewModel)
{
    if (m_viewModel == viewModel)
        return;
    m_viewModel = viewModel;
    Q_EMIT viewModelChanged();
}

void ChannelForm::setName(const QString &name)
{
    if (m_fields.name == name)
        return;
    m_fields.name = name;
    Q_EMIT nameChanged();
}

void ChannelForm::setDescription(const QString &description)
{
    if (m_fields.description == description)
        return;
    m_fields.description = description;
    Q_EMIT descriptionChanged();
}

void ChannelForm::setCategory(const QString &category)
{
    if (m_fields.category == category)
        return;
    m_fields.category = category;
    Q_EMIT categoryChanged();
}

void ChannelForm::setFields(const ChannelFields &fields)
{
    setName(fields.name);
    setDescription(fields.description);
    setCategory(fields.category);
    setAddress(Avatar, fields.avatarUrl);
    setAddress(Cover, fields.coverUrl);
}

QString ChannelForm::avatarLabel() const
{
    return m_fields.avatarUrl.isEmpty() ? QStringLiteral("Выбрать аватарку с телефона") : avatarChosenText();
}

QString ChannelForm::coverLabel() const
{
    return m_fields.coverUrl.isEmpty() ? QStringLiteral("Выбрать обложку с телефона") : coverChosenText();
}

bool ChannelForm::canSubmit() const
{
    return !m_fields.name.isEmpty() && !m_isSubmitting && m_viewModel && isReady();
}

void ChannelForm::uploadAvatar(const QImage &image)
{
    (void)upload(image, Avatar);
}

void ChannelForm::uploadCover(const QImage &image)
{
    (void)upload(image, Cover);
}

void ChannelForm::submit()
{
    if (!canSubmit())
        return;
    (void)runSubmit();
}

QCoro::Task<> ChannelForm::upload(QImage image, Picture picture)
{
    const QPointer<ChannelForm> self(this);
    setUploading(picture, true);
    std::optional<QString> address;
    try {
        address = co_await NetworkManager::shared().uploadImage(image);
    } catch (const std::exception &) {
        // The row keeps the address it had.
    }
    if (!self)
        co_return;
    if (address)
        setAddress(picture, *address);
    setUploading(picture, false);
}

QCoro::Task<> ChannelForm::runSubmit()
{
    const QPointer<ChannelForm> self(this);
    setSubmitting(true);
    const bool succeeded = co_await send(m_viewModel, m_fields);
    if (!self)
        co_return;
    setSubmitting(false);
    if (succeeded)
        Q_EMIT closeRequested();
}

void ChannelForm::setUploading(Picture picture, bool uploading)
{
    if (m_uploading[picture] == uploading)
        return;
    m_uploading[picture] = uploading;
    Q_EMIT(picture == Avatar ? isUploadingAvatarChanged() : isUploadingCoverChanged());
}

void ChannelForm::setAddress(Picture picture, const QString &address)
{
    QString &held = picture == Avatar ? m_fields.avatarUrl : m_fields.coverUrl;
    if (held == address)
        return;
    held = address;
    Q_EMIT(picture == Avatar ? avatarUrlChanged() : coverUrlChanged());
}

void ChannelForm::setSubmitting(bool submitting)
{
    if (m_isSubmitting == submitting)
        return;
    m_isSubmitting = submitting;
    Q_EMIT isSubmittingChanged();
}
