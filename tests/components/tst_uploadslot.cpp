#include "NetworkManager.h"
#include "ScriptedResponder.h"
#include "UploadSlot.h"

#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

QByteArray stored(const char *address)
{
    return QByteArray(R"({"success":true,"data":{"url":")") + address + "\"}}";
}

QImage photo()
{
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    return image;
}

} // namespace

// The address a form keeps for its picture or file, against a scripted peer that answers each
// upload as the case needs.
class TestUploadSlot : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // A first upload stores "a"; a second is answered as the row says. Whatever fails keeps "a".
    void secondUploadOutcome_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("dropRunning");
        QTest::addColumn<QString>("address");
        const QString a = QStringLiteral("http://127.0.0.1:1/a.jpg");
        const QString b = QStringLiteral("http://127.0.0.1:1/b.jpg");
        QTest::newRow("stored") << 200 << stored("http://127.0.0.1:1/b.jpg") << false << b;
        QTest::newRow("refused") << 200 << QByteArray(R"({"success":false,"message":"no"})") << false << a;
        QTest::newRow("server error") << 500 << QByteArray("oops") << false << a;
        QTest::newRow("empty address") << 200 << stored("") << false << a;
        QTest::newRow("stored, but what it carried was already sent")
            << 200 << stored("http://127.0.0.1:1/b.jpg") << true << a;
    }

    void secondUploadOutcome()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(bool, dropRunning);
        QFETCH(QString, address);
        ScriptedResponder responder;
        NetworkManager::shared().setBaseURL(responder.baseUrl());
        UploadSlot slot;
        responder.reply(200, stored("http://127.0.0.1:1/a.jpg"));
        slot.uploadImage(photo());
        QVERIFY(slot.isUploading());
        QTRY_VERIFY(!slot.isUploading());
        QCOMPARE(slot.address(), QStringLiteral("http://127.0.0.1:1/a.jpg"));

        responder.replyNothing();
        slot.uploadImage(photo());
        QVERIFY(responder.waitForRequests(2));
        if (dropRunning)
            slot.dropRunning();
        QVERIFY(responder.answerWaiting(status, body));
        QTRY_VERIFY(!slot.isUploading());
        QCOMPARE(slot.address(), address);
    }

    // A file is sent from its local path, whether given as a path or a file URL.
    void fileFromPathOrUrl()
    {
        const QString path = m_dir.filePath(QStringLiteral("take one.wav"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.write("RIFF-and-more") > 0);
        file.close();
        ScriptedResponder responder;
        NetworkManager::shared().setBaseURL(responder.baseUrl());
        UploadSlot slot;
        responder.reply(200, stored("http://127.0.0.1:1/one.wav"));
        slot.uploadFile(QUrl::fromLocalFile(path));
        QTRY_COMPARE(slot.address(), QStringLiteral("http://127.0.0.1:1/one.wav"));
        responder.reply(200, stored("http://127.0.0.1:1/two.wav"));
        slot.uploadFile(path);
        QTRY_COMPARE(slot.address(), QStringLiteral("http://127.0.0.1:1/two.wav"));
        QVERIFY(responder.requests().at(0).body.contains("RIFF-and-more"));
        QVERIFY(responder.requests().at(1).body.contains("RIFF-and-more"));
    }

    // The slot goes with its form while the upload waits; the reply then touches nothing.
    void replyAfterTheSlotWentIsDropped()
    {
        ScriptedResponder responder;
        NetworkManager::shared().setBaseURL(responder.baseUrl());
        auto slot = std::make_unique<UploadSlot>();
        responder.replyNothing();
        slot->uploadImage(photo());
        QVERIFY(responder.waitForRequests(1));
        slot.reset();
        QVERIFY(responder.answerWaiting(200, stored("http://127.0.0.1:1/late.jpg")));
        QTest::qWait(50); // the reply is read and the upload's task ends with nothing to touch
    }
};

QTEST_MAIN(TestUploadSlot)
#include "tst_uploadslot.moc"
