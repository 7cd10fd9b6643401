#include "PostComposerModel.h"

#include "FeedViewModel.h"

PostComposerModel::PostComposerModel(QObject *parent) : QObject(parent)
{
    connect(&m_image, &UploadSlot::addressChanged, this, &PostComposerModel::imageUrlChanged);
    connect(&m_image, &UploadSlot::uploadingChanged, this, &PostComposerModel::isUploadingImageChanged);
}

void PostComposerModel::setTextInput(const QString &text)
{
    if (text == m_textInput)
        return;
    m_textInput = text;
    Q_EMIT textInputChanged();
}

void PostComposerModel::uploadImage(const QImage &image)
{
    m_image.uploadImage(image);
}

void PostComposerModel::uploadImage(const QVariant &image)
{
    if (image.metaType() == QMetaType::fromType<QImage>())
        uploadImage(image.value<QImage>());
}

void PostComposerModel::publish(FeedViewModel *feed, const QVariant &author)
{
    if (!feed || m_isPublished || !canPublish())
        return;
    m_isPublished = true;
    feed->createPost(author, m_textInput, imageUrl());
}
