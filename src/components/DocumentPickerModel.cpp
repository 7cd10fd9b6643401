#include "DocumentPickerModel.h"

#include "PickedCopies.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace {

struct ContentType
{
    QString identifier;
    QString title;
    QStringList patterns;
};

const QList<ContentType> &knownTypes()
{
    static const QList<ContentType> types = {
        {DocumentPickerModel::audio,
         QStringLiteral("Аудио"),
         {"*.mp3", "*.m4a", "*.aac", "*.wav", "*.aif", "*.aiff", "*.flac", "*.ogg", "*.oga", "*.opus", "*.caf"}},
        {DocumentPickerModel::mp3, QStringLiteral("MP3"), {"*.mp3"}},
        {DocumentPickerModel::wav, QStringLiteral("WAV"), {"*.wav"}},
        {DocumentPickerModel::movie,
         QStringLiteral("Фильмы"),
         {"*.mov", "*.qt", "*.mp4", "*.m4v", "*.avi", "*.mkv", "*.webm", "*.mpg", "*.mpeg", "*.3gp"}},
        {DocumentPickerModel::video,
         QStringLiteral("Видео"),
         {"*.mp4", "*.m4v", "*.mov", "*.avi", "*.mkv", "*.webm", "*.mpg", "*.mpeg", "*.3gp"}},
        {DocumentPickerModel::quickTimeMovie, QStringLiteral("QuickTime"), {"*.mov", "*.qt"}},
        {DocumentPickerModel::mpeg4Movie, QStringLiteral("MPEG-4"), {"*.mp4", "*.m4v"}},
    };
    return types;
}

const ContentType *findType(const QString &identifier)
{
    for (const ContentType &type : knownTypes()) {
        if (type.identifier == identifier)
            return &type;
    }
    return nullptr;
}

QString filterText(const QString &title, const QStringList &patterns)
{
    return QStringLiteral("%1 (%2)").arg(title, patterns.join(QLatin1Char(' ')));
}

} // namespace

DocumentPickerModel::DocumentPickerModel(QObject *parent) : QObject(parent), m_allowedContentTypes{audio, mp3, wav} {}

void DocumentPickerModel::setAllowedContentTypes(const QStringList &types)
{
    if (types == m_allowedContentTypes)
        return;
    m_allowedContentTypes = types;
    Q_EMIT allowedContentTypesChanged();
}

QStringList DocumentPickerModel::patternsFor(const QString &contentType)
{
    const ContentType *type = findType(contentType);
    return type ? type->patterns : QStringList();
}

QString DocumentPickerModel::dialogTitle() const
{
    const auto any = [this](std::initializer_list<QString> types) {
        return std::any_of(types.begin(), types.end(),
                           [this](const QString &type) { return m_allowedContentTypes.contains(type); });
    };
    if (any({movie, video, quickTimeMovie, mpeg4Movie}))
        return QStringLiteral("Выберите видео");
    if (any({audio, mp3, wav}))
        return QStringLiteral("Выберите аудиофайл");
    return QStringLiteral("Выберите файл");
}

QStringList DocumentPickerModel::nameFilters() const
{
    QStringList all;
    QStringList perType;
    for (const QString &identifier : m_allowedContentTypes) {
        const ContentType *type = findType(identifier);
        if (!type)
            continue;
        perType << filterText(type->title, type->patterns);
        for (const QString &pattern : type->patterns) {
            if (!all.contains(pattern))
                all << pattern;
        }
    }
    if (perType.size() > 1)
        perType.prepend(filterText(QStringLiteral("Все подходящие файлы"), all));
    return perType;
}

bool DocumentPickerModel::accepts(const QString &fileName) const
{
    for (const QString &identifier : m_allowedContentTypes) {
        for (const QString &pattern : patternsFor(identifier)) {
            const QRegularExpression expression(QRegularExpression::wildcardToRegularExpression(pattern),
                                                QRegularExpression::CaseInsensitiveOption);
            if (expression.match(fileName).hasMatch())
                return true;
        }
    }
    return false;
}

bool DocumentPickerModel::pick(const QString &pathOrUrl)
{
    if (pathOrUrl.isEmpty())
        return false;
    const QUrl url(pathOrUrl);
    const QString path = url.isLocalFile() ? url.toLocalFile() : pathOrUrl;
    const QFileInfo source(path);
    if (!source.isFile()) {
        qWarning("The picked file %s cannot be read", qPrintable(path));
        Q_EMIT finished();
        return false;
    }
    if (!accepts(source.fileName())) {
        qWarning("The picked file %s is not one of the offered kinds", qPrintable(path));
        Q_EMIT finished();
        return false;
    }

    const std::optional<QString> copy = PickedCopies::make(path);
    if (!copy) {
        qWarning("Could not copy the picked file %s", qPrintable(path));
        Q_EMIT finished();
        return false;
    }
    Q_EMIT filePicked(QUrl::fromLocalFile(*copy));
    Q_EMIT finished();
    return true;
}

void DocumentPickerModel::cancel()
{
    Q_EMIT finished();
}
