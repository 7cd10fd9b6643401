#include "FingerDrag.h"
#include "QmlSnippet.h"

#include <QPointer>
#include <QQuickItem>
#include <QTest>

namespace {
// A sheet holding a button, text fields, an area that pans by drags and a list long enough to scroll.
const QByteArray Harness = R"(
import QtQuick
import QtQuick.Controls
import Vorlane
Item {
    anchors.fill: parent
    property int made: 0
    property int taps: 0
    Sheet {
        objectName: "sheet"
        content: Column {
            objectName: "content"
            Component.onCompleted: made += 1
            Rectangle { width: parent.width; height: 60; color: "lightgray" }
            Button { objectName: "button"; width: 200; height: 50; text: "Tap"; onClicked: taps += 1 }
            TextField { objectName: "field"; width: 300; text: "draft" }
            TextArea {
                objectName: "area"; width: 300; height: 120
                selectByMouse: true; wrapMode: TextEdit.Wrap
                text: "one two three four five six seven eight nine ten eleven twelve thirteen fourteen fifteen"
            }
            Rectangle {
                objectName: "pan"; width: parent.width; height: 80; color: "gray"
                property real moved: 0
                DragHandler { target: null; onTranslationChanged: parent.moved = translation.y }
            }
            ListView {
                objectName: "list"
                width: parent.width; height: 200
                clip: true
                model: 60
                delegate: Text { width: ListView.view.width; height: 40; text: "Row " + index }
            }
        }
    }
})";
} // namespace

// The sheet rises to the same place at every opening, builds its content afresh each time, and is
// dismissed by a swipe down as by close().
class TestSheet : public QObject
{
    Q_OBJECT

    std::unique_ptr<QmlSnippet> m_snippet;

    QObject *sheet() const { return m_snippet->find(QStringLiteral("sheet")); }
    QQuickItem *item(const char *name) const { return m_snippet->find<QQuickItem>(QLatin1String(name)); }
    int made() const { return m_snippet->root()->property("made").toInt(); }
    qreal sheetY() const { return sheet()->property("y").toReal(); }

    bool openSheet()
    {
        QMetaObject::invokeMethod(sheet(), "open");
        return QTest::qWaitFor([&] { return sheet()->property("opened").toBool() && item("content"); },
                               VORLANE_PATIENT_WAIT_MS);
    }

    // A point on the grey strip at the top of the sheet's content.
    QPoint top() const { return item("content")->mapToScene(QPointF(195, 30)).toPoint(); }

private Q_SLOTS:
    void init()
    {
        m_snippet = std::make_unique<QmlSnippet>(Harness);
        QVERIFY2(m_snippet->isReady(), qPrintable(m_snippet->errors()));
    }
    void cleanup() { m_snippet.reset(); }

    // The sheet is 834 high, so a quarter is about 208; a flick is any quick move at the end, and
    // `back` pixels flicked up before letting go take a pull past a quarter back.
    void dragDown_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<int>("distance");
        QTest::addColumn<int>("steps");
        QTest::addColumn<int>("stepMs");
        QTest::addColumn<int>("back");
        QTest::addColumn<bool>("closes");
        QTest::newRow("slowly past a quarter by the top") << "top" << 300 << 15 << 40 << 0 << true;
        QTest::newRow("slowly past a quarter by a button") << "button" << 300 << 15 << 40 << 0 << true;
        QTest::newRow("slowly short of a quarter") << "top" << 150 << 15 << 40 << 0 << false;
        QTest::newRow("a short quick flick by a button") << "button" << 90 << 3 << 5 << 0 << true;
        QTest::newRow("a short quick flick") << "top" << 90 << 3 << 5 << 0 << true;
        QTest::newRow("a slow short drag") << "top" << 90 << 9 << 40 << 0 << false;
        QTest::newRow("under the drag threshold") << "top" << 12 << 3 << 5 << 0 << false;
        QTest::newRow("past a quarter, then flicked back up") << "top" << 300 << 15 << 40 << 90 << false;
    }

    void dragDown()
    {
        QFETCH(QString, from);
        QFETCH(int, distance);
        QFETCH(int, steps);
        QFETCH(int, stepMs);
        QFETCH(int, back);
        QFETCH(bool, closes);
        QVERIFY(openSheet());
        QPointer<QQuickItem> content = item("content");
        const QPoint start = from == QLatin1String("top") ? top() : item("button")->mapToScene({20, 25}).toPoint();

        QQuickWindow *window = m_snippet->window();
        QTest::mousePress(window, Qt::LeftButton, {}, start);
        for (int step = 1; step <= steps; ++step)
            QTest::mouseMove(window, start + QPoint(0, distance * step / steps), stepMs);
        if (distance >= 100) { // until it is let go, the sheet follows the finger
            const qreal y = sheetY();
            QVERIFY2(y > 10.0 + distance * 0.6 && y <= 10.0 + distance, qPrintable(QString::number(y)));
            QVERIFY(sheet()->property("opened").toBool());
        }
        for (int step = 1; back > 0 && step <= 3; ++step)
            QTest::mouseMove(window, start + QPoint(0, distance - back * step / 3), 5);
        QTest::mouseRelease(window, Qt::LeftButton, {}, start + QPoint(0, distance - back));
        if (closes) {
            QTRY_VERIFY(!sheet()->property("visible").toBool());
            QVERIFY(!content);
            // Reopened, it stands at its place again with new content, and goes by a swipe again.
            QVERIFY(openSheet());
            QCOMPARE(sheetY(), 10.0);
            QCOMPARE(made(), 2);
            FingerDrag::swipeAway(m_snippet->window(), top());
            QTRY_VERIFY(!sheet()->property("visible").toBool());
        } else {
            QTRY_COMPARE(sheetY(), 10.0);
            QVERIFY(sheet()->property("opened").toBool());
            QVERIFY(content);
            QCOMPARE(made(), 1);
        }
        QCOMPARE(m_snippet->root()->property("taps").toInt(), 0);
    }

    // Closed by its own form while a finger still drags it: the rest of that drag moves nothing,
    // and the next opening stands at its place with fresh content.
    void closedWhileDragged()
    {
        QVERIFY(openSheet());
        QQuickWindow *window = m_snippet->window();
        const QPoint start = top();
        QTest::mousePress(window, Qt::LeftButton, {}, start);
        for (int step = 1; step <= 5; ++step)
            QTest::mouseMove(window, start + QPoint(0, step * 20), 40);
        QMetaObject::invokeMethod(sheet(), "close");
        QTRY_VERIFY(!sheet()->property("visible").toBool());
        for (int step = 6; step <= 10; ++step)
            QTest::mouseMove(window, start + QPoint(0, step * 20), 40);
        QTest::mouseRelease(window, Qt::LeftButton, {}, start + QPoint(0, 200));
        QTest::qWait(300);
        QVERIFY(!sheet()->property("visible").toBool());

        QVERIFY(openSheet());
        QCOMPARE(sheet()->property("dragOffset").toReal(), 0.0);
        QCOMPARE(sheetY(), 10.0);
        QCOMPARE(made(), 2);
    }

    void tapsInsideWorkAndATapBesideDoesNotClose()
    {
        QVERIFY(openSheet());
        QTest::mouseClick(m_snippet->window(), Qt::LeftButton, {}, item("button")->mapToScene({100, 25}).toPoint());
        QTest::mouseClick(m_snippet->window(), Qt::LeftButton, {}, item("button")->mapToScene({100, 25}).toPoint());
        QCOMPARE(m_snippet->root()->property("taps").toInt(), 2);
        // The dimmed strip above the sheet.
        QTest::mouseClick(m_snippet->window(), Qt::LeftButton, {}, QPoint(195, 4));
        QTest::qWait(100);
        QVERIFY(sheet()->property("opened").toBool());
        QCOMPARE(sheetY(), 10.0);
    }

    // From close() on, while it still slides away, the sheet's content takes no tap and no key; a
    // new opening takes them again.
    void aClosingSheetTakesNoInput()
    {
        QVERIFY(openSheet());
        const QPoint button = item("button")->mapToScene({100, 25}).toPoint();
        QQuickItem *field = item("field");
        field->forceActiveFocus();
        QMetaObject::invokeMethod(sheet(), "close");
        QVERIFY(sheet()->property("visible").toBool());
        QTest::mouseClick(m_snippet->window(), Qt::LeftButton, {}, button);
        QTest::keyClick(m_snippet->window(), Qt::Key_X);
        QCOMPARE(m_snippet->root()->property("taps").toInt(), 0);
        QCOMPARE(field->property("text").toString(), QStringLiteral("draft"));
        QTRY_VERIFY(!sheet()->property("visible").toBool());

        QVERIFY(openSheet());
        QTest::mouseClick(m_snippet->window(), Qt::LeftButton, {}, item("button")->mapToScene({100, 25}).toPoint());
        QCOMPARE(m_snippet->root()->property("taps").toInt(), 1);
    }

    // Drags that belong to the content: a scrolled list scrolls back, a field or an area being
    // edited selects text, an inner drag area pans. The sheet stays where it is.
    void contentKeepsItsOwnDrags_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("by");
        QTest::newRow("list") << "list" << QPoint(195, 20) << QPoint(0, 150);
        QTest::newRow("field") << "field" << QPoint(4, 20) << QPoint(80, 30);
        QTest::newRow("area being edited") << "area" << QPoint(10, 15) << QPoint(0, 300);
        QTest::newRow("inner drag area") << "pan" << QPoint(195, 10) << QPoint(0, 300);
    }
    void contentKeepsItsOwnDrags()
    {
        QFETCH(QString, name);
        QFETCH(QPoint, from);
        QFETCH(QPoint, by);
        QVERIFY(openSheet());
        QQuickItem *target = item(qPrintable(name));
        if (name == QLatin1String("list"))
            target->setProperty("contentY", 800);
        if (name == QLatin1String("field"))
            target->setProperty("selectByMouse", true);
        if (name == QLatin1String("field") || name == QLatin1String("area"))
            target->forceActiveFocus();
        const QPoint start = target->mapToScene(from).toPoint();
        QTest::mousePress(m_snippet->window(), Qt::LeftButton, {}, start);
        for (int step = 1; step <= 15; ++step)
            QTest::mouseMove(m_snippet->window(), start + by * step / 15, 40);
        QTest::mouseRelease(m_snippet->window(), Qt::LeftButton, {}, start + by);
        if (name == QLatin1String("list")) {
            QTRY_VERIFY(!target->property("moving").toBool());
            QVERIFY(target->property("contentY").toReal() < 700);
        } else if (name == QLatin1String("pan")) {
            QVERIFY(target->property("moved").toReal() > 200);
        } else {
            QVERIFY(!target->property("selectedText").toString().isEmpty());
        }
        QVERIFY(sheet()->property("opened").toBool());
        QTRY_COMPARE(sheetY(), 10.0);
    }
};

QTEST_MAIN(TestSheet)
#include "tst_sheet.moc"
