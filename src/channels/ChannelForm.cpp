#include "ChannelForm.h"

#include "ChannelsViewModel.h"

ChannelForm::ChannelForm(QObject *parent) : QObject(parent)
{
    connect(this, &ChannelForm::nameChanged, this, &ChannelForm::canSubmitChanged);
    connect(this, &ChannelForm::isSubmittingChanged, this, &ChannelForm::canSubmitChanged);
    connect(this, &ChannelForm::viewModelChanged, this, &ChannelForm::canSubmitChanged);
    connect(&m_avatar, &UploadSlot::addressChanged, this, &ChannelForm::avatarUrlChanged);
    connect(&m_avatar, &UploadSlot::uploadingChanged, this, &ChannelForm::isUploadingAvatarChanged);
    connect(&m_cover, &UploadSlot::addressChanged, this, &ChannelForm::coverUrlChanged);
    connect(&m_cover, &UploadSlot::uploadingChanged, this, &ChannelForm::isUploadingCoverChanged);
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
    m_avatar.setAddress(fields.avatarUrl);
    m_cover.setAddress(fields.coverUrl);
}

QString ChannelForm::avatarLabel() const
{
    return avatarUrl().isEmpty() ? QStringLiteral("Выбрать аватарку с телефона") : avatarChosenText();
}

QString ChannelForm::coverLabel() const
{
    return coverUrl().isEmpty() ? QStringLiteral("Выбрать обложку с телефона") : coverChosenText();
}

bool ChannelForm::canSubmit() const
{
    return !m_fields.name.isEmpty() && !m_isSubmitting && !m_isDone && m_viewModel && isReady();
}

void ChannelForm::uploadAvatar(const QImage &image)
{
    m_avatar.uploadImage(image);
}

void ChannelForm::uploadCover(const QImage &image)
{
    m_cover.uploadImage(image);
}

void ChannelForm::submit()
{
    if (!canSubmit())
        return;
    (void)runSubmit();
}

QCoro::Task<> ChannelForm::runSubmit()
{
    const QPointer<ChannelForm> self(this);
    setSubmitting(true);
    ChannelFields fields = m_fields;
    fields.avatarUrl = avatarUrl();
    fields.coverUrl = coverUrl();
    const bool succeeded = co_await send(m_viewModel, fields);
    if (!self)
        co_return;
    // Set before the busy flag drops, so that no moment lets a second press through.
    m_isDone = succeeded;
    setSubmitting(false);
    if (succeeded)
        Q_EMIT closeRequested();
}

void ChannelForm::setSubmitting(bool submitting)
{
    if (m_isSubmitting == submitting)
        return;
    m_isSubmitting = submitting;
    Q_EMIT isSubmittingChanged();
}
