#pragma once

#include "ChannelsViewModel.h"
#include "UploadSlot.h"

#include <QCoroTask>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

// The unsent post of a channel page: its text and the address of its uploaded photo. It belongs to
// the page, not to the composer sheet, so that closing and reopening the sheet keeps it; only a
// successful publish empties it.
class ChannelPostDraft : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(ChannelsViewModel *viewModel READ viewModel WRITE setViewModel NOTIFY viewModelChanged)
    // The channel the page was opened for; its id is where posts go.
    Q_PROPERTY(QVariant channel READ channel WRITE setChannel NOTIFY channelChanged)
    Q_PROPERTY(QString text READ text WRITE setText NOTIFY textChanged)
    Q_PROPERTY(QString imageUrl READ imageUrl NOTIFY imageUrlChanged)
    Q_PROPERTY(QString photoLabel READ photoLabel NOTIFY imageUrlChanged)
    Q_PROPERTY(bool isUploadingImage READ isUploadingImage NOTIFY isUploadingImageChanged)
    Q_PROPERTY(bool canPublish READ canPublish NOTIFY canPublishChanged)

public:
    explicit ChannelPostDraft(QObject *parent = nullptr);

    ChannelsViewModel *viewModel() const { return m_viewModel; }
    void setViewModel(ChannelsViewModel *viewModel);
    QVariant channel() const { return m_channel; }
    void setChannel(const QVariant &channel);
    QString text() const { return m_text; }
    void setText(const QString &text);
    QString imageUrl() const { return m_image.address(); }
    QString photoLabel() const;
    bool isUploadingImage() const { return m_image.isUploading(); }
    bool isPublishing() const { return m_isPublishing; }
    // Text beyond white space and line breaks; a running upload holds nothing back.
    bool canPublish() const;

    Q_INVOKABLE void uploadImage(const QImage &image);
    // Sends the text exactly as typed. A tap while a publish runs is ignored, so one tap makes at
    // most one post; `published` follows a post the service took.
    Q_INVOKABLE void publish();

Q_SIGNALS:
    void viewModelChanged();
    void channelChanged();
    void textChanged();
    void imageUrlChanged();
    void isUploadingImageChanged();
    void canPublishChanged();
    void published();

private:
    QCoro::Task<> runPublish(qint64 channelId);

    QPointer<ChannelsViewModel> m_viewModel;
    QVariant m_channel;
    QString m_text;
    UploadSlot m_image;
    bool m_isPublishing = false;
};
