#pragma once

#include <QObject>
#include <QStringList>
#include <QUrl>
#include <QtQml/qqmlregistration.h>

// The document picker's decisions: which files the dialog offers for the content types its
// caller names, and handing on a copy of the one file picked. The dialog ends in pick().
class DocumentPickerModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QStringList allowedContentTypes READ allowedContentTypes WRITE setAllowedContentTypes NOTIFY
                   allowedContentTypesChanged)
    Q_PROPERTY(QStringList nameFilters READ nameFilters NOTIFY allowedContentTypesChanged)
    Q_PROPERTY(QString dialogTitle READ dialogTitle NOTIFY allowedContentTypesChanged)

public:
    // Content types by their uniform type identifiers.
    static inline const QString audio = QStringLiteral("public.audio");
    static inline const QString mp3 = QStringLiteral("public.mp3");
    static inline const QString wav = QStringLiteral("com.microsoft.waveform-audio");
    static inline const QString movie = QStringLiteral("public.movie");
    static inline const QString video = QStringLiteral("public.video");
    static inline const QString quickTimeMovie = QStringLiteral("com.apple.quicktime-movie");
    static inline const QString mpeg4Movie = QStringLiteral("public.mpeg-4");

    explicit DocumentPickerModel(QObject *parent = nullptr);

    QStringList allowedContentTypes() const { return m_allowedContentTypes; }
    void setAllowedContentTypes(const QStringList &types);
    // One filter offering every allowed kind at once, then one per type, in the caller's order.
    QStringList nameFilters() const;
    // The dialog's title: what the allowed types are, in the user's words.
    QString dialogTitle() const;
    // The file name patterns ("*.mp3") of one content type; none for a type we do not know.
    static QStringList patternsFor(const QString &contentType);
    bool accepts(const QString &fileName) const;

    // The file the user chose (a local path or a file URL). An empty choice changes nothing and
    // leaves the picker open. Otherwise a file of an allowed type starts being copied to a private
    // folder, filePicked() gets the copy's address at once, and the picker ends; a file of another
    // type, or one that is no regular file or cannot be copied, ends the picker with nothing
    // delivered. The copy is the receiver's to upload once whole: the UploadSlot that sends it waits
    // for its bytes and removes it once the upload has ended (PickedCopies).
    Q_INVOKABLE bool pick(const QString &pathOrUrl);
    Q_INVOKABLE void cancel();

Q_SIGNALS:
    void allowedContentTypesChanged();
    void filePicked(const QUrl &fileUrl);
    void finished();

private:
    QStringList m_allowedContentTypes;
};
