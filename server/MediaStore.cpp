#include "MediaStore.h"

#include <QRandomGenerator>
#include <QRegularExpression>

namespace {
struct KnownType
{
    const char *extension;
    const char *contentType;
    bool image;
};

constexpr KnownType KnownTypes[] = {
    {"jpg", "image/jpeg", true},   {"jpeg", "image/jpeg", true},     {"png", "image/png", true},
    {"gif", "image/gif", true},    {"webp", "image/webp", true},     {"heic", "image/heic", true},
    {"mp3", "audio/mpeg", false},  {"wav", "audio/wav", false},      {"m4a", "audio/mp4", false},
    {"aac", "audio/aac", false},   {"ogg", "audio/ogg", false},      {"flac", "audio/flac", false},
    {"aif", "audio/aiff", false},  {"aiff", "audio/aiff", false},    {"oga", "audio/ogg", false},
    {"opus", "audio/opus", false}, {"caf", "audio/x-caf", false},
    {"mp4", "video/mp4", false},   {"mov", "video/quicktime", false}, {"m4v", "video/mp4", false},
    {"webm", "video/webm", false}, {"avi", "video/x-msvideo", false},
    // Every other kind the video picker offers.
    {"qt", "video/quicktime", false}, {"mkv", "video/x-matroska", false}, {"mpg", "video/mpeg", false},
    {"mpeg", "video/mpeg", false}, {"3gp", "video/3gpp", false},
};

const KnownType *find(const QString &extension)
{
    for (const KnownType &type : KnownTypes) {
        if (extension == QLatin1String(type.extension))
            return &type;
    }
    return nullptr;
}

QString randomName()
{
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    QString name;
    for (quint32 word : words)
        name += QStringLiteral("%1").arg(word, 8, 16, QLatin1Char('0'));
    return name;
}
}

MediaStore::MediaStore(const QString &root)
    : m_root(root)
{
}

bool MediaStore::prepare(QString &error)
{
    if (!m_root.mkpath(QStringLiteral("demo")) || !m_root.mkpath(QStringLiteral("uploads"))) {
        error = QStringLiteral("cannot create the media folders under %1").arg(m_root.absolutePath());
        return false;
    }
    // Leftovers of uploads that were cut off when the service last stopped.
    const QDir uploads(uploadsDir());
    for (const QString &name : uploads.entryList({QStringLiteral(".incoming-*")}, QDir::Files | QDir::Hidden))
        QFile::remove(uploads.filePath(name));
    return true;
}

std::optional<QString> MediaStore::allowedExtension(const QString &extension)
{
    const QString lower = extension.toLower();
    if (find(lower))
        return lower;
    return std::nullopt;
}

bool MediaStore::isImageExtension(const QString &extension)
{
    const KnownType *type = find(extension.toLower());
    return type && type->image;
}

QByteArray MediaStore::contentType(const QString &fileName)
{
    const KnownType *type = find(fileName.section(QLatin1Char('.'), -1).toLower());
    return type ? QByteArray(type->contentType) : QByteArrayLiteral("application/octet-stream");
}

std::optional<QString> MediaStore::resolve(const QString &sitePath) const
{
    // Only names this service makes: no separators, no dots but the one before the extension.
    static const QRegularExpression pattern(QStringLiteral("^/media/(demo|uploads)/([A-Za-z0-9_-]{1,80}\\.[a-z0-9]{1,5})$"));
    const QRegularExpressionMatch match = pattern.match(sitePath);
    if (!match.hasMatch())
        return std::nullopt;
    const QString path = m_root.filePath(match.captured(1) + QLatin1Char('/') + match.captured(2));
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    return path;
}

std::unique_ptr<MediaStore::Incoming> MediaStore::receive(const QString &extension) const
{
    return std::make_unique<Incoming>(uploadsDir(), extension);
}

MediaStore::Incoming::Incoming(const QString &dir, const QString &extension)
    : m_dir(dir)
    , m_extension(extension)
    , m_file(QDir(dir).filePath(QStringLiteral(".incoming-") + randomName()))
{
    m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly);
}

MediaStore::Incoming::~Incoming()
{
    if (!m_committed) {
        m_file.close();
        m_file.remove();
    }
}

bool MediaStore::Incoming::write(const char *data, qint64 size)
{
    if (m_file.write(data, size) != size)
        return false;
    m_size += size;
    return true;
}

std::optional<QString> MediaStore::Incoming::commit()
{
    if (!m_file.flush())
        return std::nullopt;
    m_file.close();
    const QString name = randomName() + QLatin1Char('.') + m_extension;
    if (!m_file.rename(QDir(m_dir).filePath(name)))
        return std::nullopt;
    m_committed = true;
    return QStringLiteral("/media/uploads/") + name;
}
