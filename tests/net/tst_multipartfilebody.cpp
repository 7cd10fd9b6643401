#include "MultipartFileBody.h"

#include <QTemporaryFile>
#include <QTest>

// Qt may rewind an upload body and send it again (a connection dropped before the reply), and
// reads it in pieces of its own choosing: every position must give the same bytes.
class MultipartFileBodyTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsTheSameBytesFromAnyPosition()
    {
        QTemporaryFile source;
        QVERIFY(source.open());
        QByteArray content;
        for (int i = 0; i < 5000; ++i)
            content += char(i % 251);
        source.write(content);
        source.flush();

        auto file = std::make_unique<QFile>(source.fileName());
        QVERIFY(file->open(QIODevice::ReadOnly));
        MultipartFileBody body(std::move(file), QStringLiteral("a.bin"), QStringLiteral("B"));
        const QByteArray whole = MultipartFileBody::head(QStringLiteral("a.bin"), QStringLiteral("B")) + content
                                 + MultipartFileBody::tail(QStringLiteral("B"));
        QCOMPARE(body.size(), whole.size());

        QByteArray inPieces;
        while (!body.atEnd())
            inPieces += body.read(7);
        QCOMPARE(inPieces, whole);

        const QList<qint64> positions{0, 3, whole.size() - content.size() - 20, whole.size() - 30, whole.size() - 1};
        for (const qint64 position : positions) {
            QVERIFY(body.seek(position));
            QCOMPARE(body.read(4096), whole.mid(position, 4096));
        }
        QVERIFY(body.reset());
        QCOMPARE(body.readAll(), whole);
        QVERIFY(!body.seek(whole.size() + 1));
    }
};

QTEST_GUILESS_MAIN(MultipartFileBodyTest)
#include "tst_multipartfilebody.moc"
