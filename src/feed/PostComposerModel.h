#pragma once

#include "UploadSlot.h"

#include <QImage>
#include <QObject>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

class FeedViewModel;

// The post composer's form: the text, the address of the photo uploaded for it, and whether an
// upload runs. It lives as long as its sheet; an upload that ends after the sheet closed is
// dropped.
class PostComposerModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QString textInput READ textInput WRITE setTextInput NOTIFY textInputChanged)
    Q_PROPERTY(QString imageUrl READ imageUrl NOTIFY imageUrlChanged)
    Q_PROPERTY(bool isUploadingImage READ isUploadingImage NOTIFY isUploadingImageChanged)
    Q_PROPERTY(bool canPublish READ canPublish NOTIFY textInputChanged)
    Q_PROPERTY(bool hasPhoto READ hasPhoto NOTIFY imageUrlChanged)

public:
    explicit PostComposerModel(QObject *parent = nullptr);

    QString textInput() const { return m_textInput; }
    void setTextInput(const QString &text);
    QString imageUrl() const { return m_image.address(); }
    bool isUploadingImage() const { return m_image.isUploading(); }
    // Blank text (white space and line ends only) cannot be published; an upload in progress
    // does not hold publishing back.
    bool canPublish() const { return !m_textInput.trimmed().isEmpty(); }
    bool hasPhoto() const { return !imageUrl().isEmpty(); }

    // Uploads the picked photo. Each upload writes its own address when it succeeds; a failed one
    // keeps the photo attached before it.
    void uploadImage(const QImage &image);
    Q_INVOKABLE void uploadImage(const QVariant &image);

    // Hands the text as typed and the photo address held now to the feed model, once: the sheet
    // closes at once, and a press that reaches it while it slides away must not post again.
    Q_INVOKABLE void publish(FeedViewModel *feed, const QVariant &author);

Q_SIGNALS:
    void textInputChanged();
    void imageUrlChanged();
    void isUploadingImageChanged();

private:
    QString m_textInput;
    UploadSlot m_image;
    bool m_isPublished = false;
};
