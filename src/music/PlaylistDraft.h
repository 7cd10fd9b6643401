#pragma once

#include "MusicViewModel.h"
#include "UploadSlot.h"

#include <QObject>
#include <QtQml/qqmlregistration.h>

// The create-playlist form's values. They belong to the music screen, not to the sheet, so what
// was typed survives closing and reopening it, and a cover upload that ends while the sheet is
// closed still fills in its address.
class PlaylistDraft : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QString name READ name WRITE setName NOTIFY changed)
    Q_PROPERTY(QString description READ description WRITE setDescription NOTIFY changed)
    Q_PROPERTY(QString coverUrl READ coverUrl NOTIFY changed)
    Q_PROPERTY(bool isPublic READ isPublic WRITE setIsPublic NOTIFY changed)
    Q_PROPERTY(bool isUploadingCover READ isUploadingCover NOTIFY changed)
    Q_PROPERTY(bool canCreate READ canCreate NOTIFY changed)
    Q_PROPERTY(QString coverButtonText READ coverButtonText NOTIFY changed)

public:
    explicit PlaylistDraft(QObject *parent = nullptr);

    QString name() const { return m_name; }
    void setName(const QString &name);
    QString description() const { return m_description; }
    void setDescription(const QString &description);
    QString coverUrl() const { return m_cover.address(); }
    bool isPublic() const { return m_isPublic; }
    void setIsPublic(bool isPublic);
    bool isUploadingCover() const { return m_cover.isUploading(); }
    // A name of blanks is a name.
    bool canCreate() const { return !m_name.isEmpty(); }
    QString coverButtonText() const;

    // The photo picker's picture (a QImage); a failed upload keeps the earlier address.
    Q_INVOKABLE void uploadCover(const QVariant &image);
    // Makes the playlist from the values as typed (an empty cover address is no cover), then
    // empties name, description and cover; the visibility stays as the user left it.
    Q_INVOKABLE void create(MusicViewModel *model);

Q_SIGNALS:
    void changed();

private:
    QString m_name;
    QString m_description;
    UploadSlot m_cover;
    bool m_isPublic = true;
};
