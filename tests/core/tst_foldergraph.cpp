// The folders of src/ stand on each other: no folder includes, directly or through others, a
// folder that includes it back. A circle would let any change in one of them reach all of them.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

class tst_FolderGraph : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void foldersFormNoCircle()
    {
        const QDir src(QStringLiteral(VORLANE_SOURCE_DIR "/src"));
        // Every header belongs to the folder that holds it; names are unique across src/.
        QHash<QString, QString> folderOf;
        for (QDirIterator it(src.path(), {QStringLiteral("*.h")}, QDir::Files, QDirIterator::Subdirectories);
             it.hasNext();) {
            const QFileInfo header(it.next());
            folderOf.insert(header.fileName(), src.relativeFilePath(header.path()).section(QLatin1Char('/'), 0, 0));
        }
        QVERIFY(folderOf.size() > 50);

        // folder -> folder it includes -> the first include that shows it.
        QHash<QString, QHash<QString, QString>> includes;
        static const QRegularExpression include(QStringLiteral("^\\s*#\\s*include\\s+\"([^\"]+)\""),
                                                QRegularExpression::MultilineOption);
        for (QDirIterator it(src.path(), {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files,
                             QDirIterator::Subdirectories);
             it.hasNext();) {
            const QString path = it.next();
            const QString from = src.relativeFilePath(path).section(QLatin1Char('/'), 0, 0);
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QString text = QString::fromUtf8(file.readAll());
            for (auto match = include.globalMatch(text); match.hasNext();) {
                const QString name = match.next().captured(1).section(QLatin1Char('/'), -1);
                const QString to = folderOf.value(name);
                if (!to.isEmpty() && to != from && !includes[from].contains(to))
                    includes[from].insert(to, src.relativeFilePath(path) + QStringLiteral(" includes ") + name);
            }
        }

        // A path back from the folder an include leads to closes a circle.
        for (auto from = includes.cbegin(); from != includes.cend(); ++from) {
            for (auto to = from->cbegin(); to != from->cend(); ++to) {
                QStringList path{to.value()};
                QVERIFY2(!reaches(includes, to.key(), from.key(), path), qPrintable(path.join(QStringLiteral(", then "))));
            }
        }
    }

private:
    // Whether `from` leads to `target`; `path` gathers the includes on the way.
    static bool reaches(const QHash<QString, QHash<QString, QString>> &includes, const QString &from,
                        const QString &target, QStringList &path, QSet<QString> seen = {})
    {
        seen.insert(from);
        const auto next = includes.value(from);
        for (auto to = next.cbegin(); to != next.cend(); ++to) {
            path.append(to.value());
            if (to.key() == target || (!seen.contains(to.key()) && reaches(includes, to.key(), target, path, seen)))
                return true;
            path.removeLast();
        }
        return false;
    }
};

QTEST_GUILESS_MAIN(tst_FolderGraph)
#include "tst_foldergraph.moc"
