#include "PostComposerModel.h"

#include "FeedViewModel.h"
#include "NetworkManager.h"

#include <QPointer>

#include <exception>

void PostComposerModel::setTextInput(const QString &text)
{
    if (text == m_textInput)
        return;
    m_textInput = text;
    Q_EMIT textInputChanged();
}

void PostComposerModel::uploadImage(const QImage &image)
{
    (void)upload(image);
}

void PostComposerModel::uploadImage(const QVariant &image)
{
    if (image.metaType() == QMetaType::fromType<QImage>())
        uploadImage(image.value<QImage>());
}

void PostComposerModel::publish(FeedViewModel *feed, const QVariant &author) const
{
    if (feed)
        feed->createPost(author, m_textInput, m_imageUrl);
}

QCoro::Task<> PostComposerModel::upload(QImage image)
{
    const QPointer<PostComposerModel> self(this);
    setIsUploadingImage(true);
    try {
        const QString address = co_await NetworkManager::shared().uploadImage(image);
        if (self && address != self->m_imageUrl) {
            self->m_imageUrl = address;
            Q_EMIT self->imageUrlChanged();
        }
    } catch (const std::exception &) {
        // A failed upload keeps the photo attached before it.
    }
    if (self)
        self->setIsUploadingImage(false);
}

void PostComposerModel::setIsUploadingImage(bool uploading)
{
    if (uploading == m_isUploadingImage)
        return;
    m_isUploadingImage = uploading;
    Q_EMIT isUploadingImageChanged();
}
