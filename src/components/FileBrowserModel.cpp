#include "FileBrowserModel.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <sys/stat.h>

FileBrowserModel::FileBrowserModel(QObject *parent) : QAbstractListModel(parent)
{
    setFolder(QDir::homePath());
}

int FileBrowserModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

QVariant FileBrowserModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Entry &entry = m_entries.at(index.row());
    switch (role) {
    case NameRole:
    case Qt::DisplayRole:
        return entry.name;
    case IsFolderRole:
        return entry.isFolder;
    case SizeTextRole:
        return entry.isFolder ? QString() : sizeText(entry.size);
    case DateTextRole:
        return dateText(entry.modified);
    default:
        return {};
    }
}

QHash<int, QByteArray> FileBrowserModel::roleNames() const
{
    return {{NameRole, "name"}, {IsFolderRole, "isFolder"}, {SizeTextRole, "sizeText"}, {DateTextRole, "dateText"}};
}

void FileBrowserModel::setFolder(const QString &pathOrUrl)
{
    const QUrl url(pathOrUrl);
    const QString path = url.isLocalFile() ? url.toLocalFile() : pathOrUrl;
    const QFileInfo info(path);
    if (!info.isDir())
        return;
    const QString canonical = info.canonicalFilePath();
    if (canonical == m_folder)
        return;
    m_folder = canonical;
    reload();
    Q_EMIT folderChanged();
}

QString FileBrowserModel::folderName() const
{
    return QDir::toNativeSeparators(m_folder);
}

bool FileBrowserModel::canGoUp() const
{
    return !QDir(m_folder).isRoot();
}

void FileBrowserModel::setNameFilters(const QStringList &filters)
{
    if (filters == m_nameFilters)
        return;
    m_nameFilters = filters;
    m_selectedFilter = 0;
    reload();
    Q_EMIT nameFiltersChanged();
    Q_EMIT selectedFilterChanged();
}

void FileBrowserModel::setSelectedFilter(int index)
{
    if (index == m_selectedFilter || index < 0 || index >= m_nameFilters.size())
        return;
    m_selectedFilter = index;
    reload();
    Q_EMIT selectedFilterChanged();
}

void FileBrowserModel::setCurrentRow(int row)
{
    if (row < -1 || row >= m_entries.size() || row == m_currentRow)
        return;
    m_currentRow = row;
    Q_EMIT currentRowChanged();
}

QUrl FileBrowserModel::selectedFile() const
{
    if (m_currentRow < 0 || m_entries.at(m_currentRow).isFolder)
        return {};
    return QUrl::fromLocalFile(QDir(m_folder).filePath(m_entries.at(m_currentRow).name));
}

void FileBrowserModel::activate(int row)
{
    if (row < 0 || row >= m_entries.size())
        return;
    const QString path = QDir(m_folder).filePath(m_entries.at(row).name);
    if (m_entries.at(row).isFolder)
        setFolder(path);
    else
        Q_EMIT fileChosen(QUrl::fromLocalFile(path));
}

bool FileBrowserModel::accept()
{
    if (m_currentRow < 0)
        return false;
    activate(m_currentRow);
    return true;
}

bool FileBrowserModel::moveCurrentRow(int key, int pageRows)
{
    const int last = int(m_entries.size()) - 1;
    const int from = std::max(m_currentRow, 0);
    const int page = std::max(pageRows, 1);
    int to = 0;
    switch (key) {
    case Qt::Key_Home:
        to = 0;
        break;
    case Qt::Key_End:
        to = last;
        break;
    case Qt::Key_PageUp:
        to = std::max(from - page, 0);
        break;
    case Qt::Key_PageDown:
        to = std::min(from + page, last);
        break;
    default:
        return false;
    }
    if (last >= 0)
        setCurrentRow(to);
    return true;
}

void FileBrowserModel::goUp()
{
    QDir dir(m_folder);
    if (dir.cdUp())
        setFolder(dir.absolutePath());
}

QString FileBrowserModel::sizeText(qint64 bytes)
{
    static const char *const units[] = {"Б", "КБ", "МБ", "ГБ"};
    double value = double(bytes);
    int unit = 0;
    while (value >= 1024 && unit < 3) {
        value /= 1024;
        ++unit;
    }
    const QLocale russian(QLocale::Russian);
    const QString number =
        unit == 0 || value >= 10 ? russian.toString(qRound64(value)) : russian.toString(value, 'f', 1);
    return number + QChar(0x00A0) + QString::fromUtf8(units[unit]);
}

QString FileBrowserModel::dateText(const QDateTime &modified)
{
    return modified.toLocalTime().toString(QStringLiteral("dd.MM.yyyy HH:mm"));
}

QStringList FileBrowserModel::patternsOf(const QString &filter)
{
    static const QRegularExpression inParentheses(QStringLiteral("\\(([^)]*)\\)"));
    const QRegularExpressionMatch match = inParentheses.match(filter);
    const QString patterns = match.hasMatch() ? match.captured(1) : filter;
    QStringList list = patterns.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return list.isEmpty() ? QStringList{QStringLiteral("*")} : list;
}

void FileBrowserModel::reload()
{
    const QDir dir(m_folder);
    const QStringList patterns =
        m_nameFilters.isEmpty() ? QStringList{QStringLiteral("*")} : patternsOf(m_nameFilters.value(m_selectedFilter));
    // Every name, links and special files included, each judged by what it finally resolves to: a
    // link to a folder is a folder, a link to a regular file a file, and a FIFO, a device, a socket
    // or a link to one (or to nothing) is not listed at all, since reading it would block or never end.
    QList<Entry> folders;
    QList<Entry> files;
    const QFileInfoList all =
        dir.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &info : all) {
        struct stat status = {};
        if (::stat(QFile::encodeName(info.filePath()).constData(), &status) != 0)
            continue;
        const QDateTime modified = QDateTime::fromSecsSinceEpoch(status.st_mtim.tv_sec);
        if (S_ISDIR(status.st_mode))
            folders.append({info.fileName(), true, 0, modified});
        else if (S_ISREG(status.st_mode) && QDir::match(patterns, info.fileName()))
            files.append({info.fileName(), false, qint64(status.st_size), modified});
    }
    beginResetModel();
    m_entries = folders + files;
    m_currentRow = -1;
    endResetModel();
    Q_EMIT currentRowChanged();
}
