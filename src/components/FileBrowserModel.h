#pragma once

#include <QAbstractListModel>
#include <QDateTime>
#include <QQmlEngine>
#include <QStringList>
#include <QUrl>

// The file dialog's decisions: which folder shows, which of its entries pass the chosen name
// filter (folders first, then files, each by name; hidden ones left out, links judged by what they
// lead to, and nothing listed that is neither a folder nor a regular file), how a row's size and
// date read, and what opening a row or the folder above does. It starts in the user's home folder.
class FileBrowserModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QString folder READ folder WRITE setFolder NOTIFY folderChanged)
    Q_PROPERTY(QString folderName READ folderName NOTIFY folderChanged)
    Q_PROPERTY(bool canGoUp READ canGoUp NOTIFY folderChanged)
    Q_PROPERTY(QStringList nameFilters READ nameFilters WRITE setNameFilters NOTIFY nameFiltersChanged)
    Q_PROPERTY(int selectedFilter READ selectedFilter WRITE setSelectedFilter NOTIFY selectedFilterChanged)
    Q_PROPERTY(int currentRow READ currentRow WRITE setCurrentRow NOTIFY currentRowChanged)
    Q_PROPERTY(QUrl selectedFile READ selectedFile NOTIFY currentRowChanged)

public:
    enum Role { NameRole = Qt::UserRole + 1, IsFolderRole, SizeTextRole, DateTextRole };

    explicit FileBrowserModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    QString folder() const { return m_folder; }
    // A local path or a file URL; a folder that does not exist leaves the one shown.
    void setFolder(const QString &pathOrUrl);
    QString folderName() const;
    bool canGoUp() const;
    QStringList nameFilters() const { return m_nameFilters; }
    void setNameFilters(const QStringList &filters);
    int selectedFilter() const { return m_selectedFilter; }
    void setSelectedFilter(int index);
    int currentRow() const { return m_currentRow; }
    void setCurrentRow(int row);
    // The file of the current row; empty while a folder or nothing is current.
    QUrl selectedFile() const;

    // Opens the row: a folder is entered, a file is chosen (fileChosen). Out of range does nothing.
    Q_INVOKABLE void activate(int row);
    // Chooses the current row's file, or enters its folder; false when nothing was current.
    Q_INVOKABLE bool accept();
    Q_INVOKABLE void goUp();
    // Home, End, Page Up and Page Down move the current row: to the first or the last row, or by
    // `pageRows` (the rows the list shows at once) up or down, stopping at the ends. False for any
    // other key, which is left to the list.
    Q_INVOKABLE bool moveCurrentRow(int key, int pageRows);

    // "12 КБ": the size in the largest unit that keeps the number at one or more.
    static QString sizeText(qint64 bytes);
    // "07.12.2026 03:45": the day and minute the file last changed, in local time.
    static QString dateText(const QDateTime &modified);
    // The glob patterns of a filter written as "Title (*.a *.b)"; every file when it names none.
    static QStringList patternsOf(const QString &filter);

Q_SIGNALS:
    void folderChanged();
    void nameFiltersChanged();
    void selectedFilterChanged();
    void currentRowChanged();
    void fileChosen(const QUrl &file);

private:
    struct Entry
    {
        QString name;
        bool isFolder = false;
        qint64 size = 0;
        QDateTime modified;
    };
    void reload();

    QString m_folder;
    QStringList m_nameFilters;
    int m_selectedFilter = 0;
    int m_currentRow = -1;
    QList<Entry> m_entries;
};
