#pragma once

#include <QCoroTask>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUrl>

#include <variant>

// One picture or file of a form: the address the service gave the last upload to succeed, and
// whether an upload runs. An upload is started as soon as the user picks something (a picked
// copy still being made is waited for, the flag raised meanwhile); a failed one keeps the address
// held before it. The slot belongs to its form: an upload that ends after the form (and with it
// the slot) is gone touches nothing, and a copy it still waited for is stopped and removed.
class UploadSlot : public QObject
{
    Q_OBJECT

public:
    explicit UploadSlot(QObject *parent = nullptr);
    ~UploadSlot() override;

    QString address() const { return m_address; }
    void setAddress(const QString &address);
    // Several uploads of one slot may overlap: the first to end clears the flag.
    bool isUploading() const { return m_isUploading; }

    void uploadImage(const QImage &image);
    void uploadFile(const QString &localPath);
    // A file URL is uploaded from its local path; anything else is taken as a path as written.
    void uploadFile(const QUrl &fileUrl);
    // Uploads already running store no address when they end (their flag still clears): what
    // they carry belongs to something the form has already sent.
    void dropRunning() { ++m_generation; }

Q_SIGNALS:
    void addressChanged();
    void uploadingChanged();

private:
    QCoro::Task<> run(std::variant<QImage, QString> source);
    void setUploading(bool uploading);

    QString m_address;
    bool m_isUploading = false;
    quint64 m_generation = 0;
    // Picked copies that uploads of this slot wait for.
    QSet<QString> m_copying;
};
