#pragma once

#include "ChannelsViewModel.h"
#include "UploadSlot.h"

#include <QCoroTask>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QtQml/qqmlregistration.h>

// The five values that found or change a channel, as the user left them: nothing is trimmed.
struct ChannelFields
{
    QString name;
    QString description;
    QString category;
    QString avatarUrl;
    QString coverUrl;
};

// What the creation and the editing form share: the fields, the avatar and cover uploads and the
// submit. Each picture is uploaded as soon as it is picked and only its address is kept. The
// form lives in a sheet and may be closed while an upload or the submit still runs; those end
// without touching it, while the channels model still takes the result.
class ChannelForm : public QObject
{
    Q_OBJECT
    QML_ANONYMOUS
    Q_PROPERTY(ChannelsViewModel *viewModel READ viewModel WRITE setViewModel NOTIFY viewModelChanged)
    Q_PROPERTY(QString name READ name WRITE setName NOTIFY nameChanged)
    Q_PROPERTY(QString description READ description WRITE setDescription NOTIFY descriptionChanged)
    Q_PROPERTY(QString category READ category WRITE setCategory NOTIFY categoryChanged)
    Q_PROPERTY(QString avatarUrl READ avatarUrl NOTIFY avatarUrlChanged)
    Q_PROPERTY(QString coverUrl READ coverUrl NOTIFY coverUrlChanged)
    Q_PROPERTY(QString avatarLabel READ avatarLabel NOTIFY avatarUrlChanged)
    Q_PROPERTY(QString coverLabel READ coverLabel NOTIFY coverUrlChanged)
    Q_PROPERTY(bool isUploadingAvatar READ isUploadingAvatar NOTIFY isUploadingAvatarChanged)
    Q_PROPERTY(bool isUploadingCover READ isUploadingCover NOTIFY isUploadingCoverChanged)
    Q_PROPERTY(bool isSubmitting READ isSubmitting NOTIFY isSubmittingChanged)
    Q_PROPERTY(bool canSubmit READ canSubmit NOTIFY canSubmitChanged)

public:
    ChannelsViewModel *viewModel() const { return m_viewModel; }
    void setViewModel(ChannelsViewModel *viewModel);
    QString name() const { return m_fields.name; }
    void setName(const QString &name);
    QString description() const { return m_fields.description; }
    void setDescription(const QString &description);
    QString category() const { return m_fields.category; }
    void setCategory(const QString &category);
    QString avatarUrl() const { return m_avatar.address(); }
    QString coverUrl() const { return m_cover.address(); }
    bool isUploadingAvatar() const { return m_avatar.isUploading(); }
    bool isUploadingCover() const { return m_cover.isUploading(); }
    bool isSubmitting() const { return m_isSubmitting; }

    QString avatarLabel() const;
    QString coverLabel() const;
    // A name of spaces counts as a name; running uploads do not hold the submit back, a running or
    // a successful submit does.
    bool canSubmit() const;

    // A failed upload keeps the address held before it.
    Q_INVOKABLE void uploadAvatar(const QImage &image);
    Q_INVOKABLE void uploadCover(const QImage &image);
    // Sends the values as they stand; closeRequested follows only when the model reports success,
    // and from then on the form takes no further press while its sheet slides away.
    Q_INVOKABLE void submit();

Q_SIGNALS:
    void viewModelChanged();
    void nameChanged();
    void descriptionChanged();
    void categoryChanged();
    void avatarUrlChanged();
    void coverUrlChanged();
    void isUploadingAvatarChanged();
    void isUploadingCoverChanged();
    void isSubmittingChanged();
    void canSubmitChanged();
    void closeRequested();

protected:
    explicit ChannelForm(QObject *parent = nullptr);

    void setFields(const ChannelFields &fields);
    // The form has what its call needs besides the name.
    virtual bool isReady() const { return true; }
    virtual QCoro::Task<bool> send(ChannelsViewModel *viewModel, ChannelFields fields) = 0;
    // The row texts once an address is held: the twins word them differently.
    virtual QString avatarChosenText() const = 0;
    virtual QString coverChosenText() const = 0;

private:
    QCoro::Task<> runSubmit();
    void setSubmitting(bool submitting);

    QPointer<ChannelsViewModel> m_viewModel;
    // The texts; the picture addresses are held by their slots.
    ChannelFields m_fields;
    UploadSlot m_avatar;
    UploadSlot m_cover;
    bool m_isSubmitting = false;
    bool m_isDone = false;
};
