#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <memory>
#include <optional>

// The media folder: "demo" holds the pictures and sounds made at start-up, "uploads" what
// clients send. Both are served under "/media/<folder>/<name>". Uploaded files get names made
// here (never the client's file name) and one of a fixed set of extensions.
class MediaStore
{
public:
    explicit MediaStore(const QString &root);

    // Creates the folders; false when the root cannot be used.
    bool prepare(QString &error);

    QString demoDir() const { return m_root.filePath(QStringLiteral("demo")); }
    QString uploadsDir() const { return m_root.filePath(QStringLiteral("uploads")); }

    // The lower-case extension when it is one that may be stored, else nothing.
    static std::optional<QString> allowedExtension(const QString &extension);
    static bool isImageExtension(const QString &extension);
    static QByteArray contentType(const QString &fileName);

    // The file behind a site path "/media/<folder>/<name>", or nothing for anything else.
    std::optional<QString> resolve(const QString &sitePath) const;

    // A file being received: written under a temporary name, visible only once committed;
    // dropped without a trace otherwise.
    class Incoming
    {
    public:
        Incoming(const QString &dir, const QString &extension);
        ~Incoming();
        bool isOpen() const { return m_file.isOpen(); }
        bool write(const char *data, qint64 size);
        qint64 size() const { return m_size; }
        // Renames the file to its final name and gives its site path.
        std::optional<QString> commit();

    private:
        QString m_dir;
        QString m_extension;
        QFile m_file;
        qint64 m_size = 0;
        bool m_committed = false;
    };
    std::unique_ptr<Incoming> receive(const QString &extension) const;

private:
    QDir m_root;
};
