#include "../app/ScreenDriver.h"
#include "NetworkManager.h"
#include "ProfileViewModel.h"
#include "QmlScreen.h"
#include "ScriptedResponder.h"
#include "User.h"
#include "UserListModel.h"

#include <QAbstractItemModelTester>

#include <QSignalSpy>
#include <QTest>

using namespace ScreenDriver;

// The user list sheet: its empty text, its rows and the profiles they open, and its close button.
class TestUserListSheet : public QObject
{
    Q_OBJECT

    ScriptedResponder m_responder; // nothing is scripted: pushed profiles fail to load and keep their user

private Q_SLOTS:
    void initTestCase()
    {
        clearSettings();
        NetworkManager::shared().setBaseURL(m_responder.baseUrl());
    }

    void emptyListShowsOnlyItsTextAndStillCloses()
    {
        QmlScreen sheet(
            QStringLiteral("UserListSheetView.qml"),
            {{QStringLiteral("title"), QStringLiteral("Подписчики")}, {QStringLiteral("users"), QVariantList()}});
        QVERIFY2(sheet.isReady(), qPrintable(sheet.errors()));
        QQuickItem *empty = sheet.find(QStringLiteral("emptyListText"));
        QVERIFY(empty && empty->isVisible());
        QCOMPARE(text(empty), QStringLiteral("Список пока пуст."));
        QCOMPARE(empty->property("color").value<QColor>(), QColor::fromRgbF(60 / 255.0, 60 / 255.0, 67 / 255.0, 0.6));
        QCOMPARE(empty->property("topPadding").toReal(), 20.0);
        QCOMPARE(empty->property("bottomPadding").toReal(), 20.0);
        QCOMPARE(sheet.find(QStringLiteral("userList"))->property("count").toInt(), 0);
        QCOMPARE(text(sheet.find(QStringLiteral("navigationTitle"))), QStringLiteral("Подписчики"));

        QSignalSpy dismissed(sheet.root(), SIGNAL(dismissRequested()));
        QQuickItem *close = sheet.find(QStringLiteral("navigationTrailingButton"));
        QVERIFY(close && close->isVisible());
        QCOMPARE(close->property("contentItem").value<QQuickItem *>()->property("text").toString(),
                 QStringLiteral("Закрыть"));
        tap(sheet.window(), close);
        QCOMPARE(dismissed.size(), 1);
    }

    void rowsOpenProfilesAsSomeoneElses()
    {
        const User online{.id = 1,
                          .username = QStringLiteral("anna"),
                          .firstName = QStringLiteral("Анна"),
                          .lastName = QStringLiteral("Соколова"),
                          .isOnline = true};
        const User offline{.id = 2, .username = QString(), .firstName = QStringLiteral("Борис")};
        QmlScreen sheet(
            QStringLiteral("UserListSheetView.qml"),
            {{QStringLiteral("title"), QStringLiteral("Подписки")},
             {QStringLiteral("users"), QVariantList{QVariant::fromValue(online), QVariant::fromValue(offline)}}});
        QVERIFY2(sheet.isReady(), qPrintable(sheet.errors()));
        QVERIFY(!sheet.find(QStringLiteral("emptyListText"))->isVisible());
        QQuickItem *first = sheet.find(QStringLiteral("userRow0"));
        QQuickItem *second = sheet.find(QStringLiteral("userRow1"));
        QVERIFY(first && second);
        QVERIFY(first->y() < second->y());
        QCOMPARE(first->property("fullName").toString(), QStringLiteral("Анна Соколова"));
        QCOMPARE(first->property("handle").toString(), QStringLiteral("@anna"));
        QCOMPARE(first->property("isOnline").toBool(), true);
        QCOMPARE(second->property("isOnline").toBool(), false);
        // The second line always begins with "@", also for an empty user name.
        QCOMPARE(second->property("handle").toString(), QStringLiteral("@"));

        // The signed-in user's own row too opens the profile as someone else's.
        tap(sheet.window(), first);
        QQuickItem *stack = sheet.find(QStringLiteral("navigationStackView"));
        QTRY_COMPARE(stack->property("depth").toInt(), 2);
        QTRY_COMPARE(text(sheet.find(QStringLiteral("navigationTitle"))), QStringLiteral("Анна Соколова"));
        QVERIFY(!sheet.find(QStringLiteral("navigationTrailingButton"))->isVisible());
        auto *profile = stack->property("currentItem").value<QQuickItem *>();
        QVERIFY(profile);
        QVERIFY(profile->property("currentUser").isNull() || !profile->property("currentUser").isValid());
        QVERIFY(!profile->property("isOwnProfile").toBool());
        // Its model's own load and its first appearance: two loads of that user's profile.
        const auto profileLoads = [this] {
            int count = 0;
            for (const auto &request : m_responder.requests())
                count += request.target == "/api/profile.php?user_id=1" ? 1 : 0;
            return count;
        };
        QTRY_COMPARE(profileLoads(), 2);
        QTest::qWait(100);
        QCOMPARE(profileLoads(), 2);

        // Back to the list, unchanged, with its close button.
        tap(sheet.window(), sheet.find(QStringLiteral("navigationBackButton")));
        QTRY_COMPARE(stack->property("depth").toInt(), 1);
        QTRY_COMPARE(text(sheet.find(QStringLiteral("navigationTitle"))), QStringLiteral("Подписки"));
        QVERIFY(sheet.find(QStringLiteral("navigationTrailingButton"))->isVisible());
    }

    void modelKeepsTheCallersOrderAndOnlyUsers()
    {
        UserListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        const User withPicture{
            .id = 2, .firstName = QStringLiteral("Борис"), .avatarUrl = QStringLiteral("http://x/a.png")};
        const User plain{.id = 1, .firstName = QStringLiteral("Анна")};
        const auto names = [&model] {
            QStringList list;
            for (int row = 0; row < model.rowCount(); ++row)
                list << model.data(model.index(row), model.roleNames().key("fullName")).toString();
            return list;
        };
        // Entries that are no user records are left out, not shown as empty rows.
        model.setUsers({QVariant::fromValue(withPicture), QVariant(42), QVariant::fromValue(plain)});
        QCOMPARE(names(), QStringList({QStringLiteral("Борис"), QStringLiteral("Анна")}));
        QVERIFY(model.data(model.index(1), model.roleNames().key("avatarUrl")).isNull());

        // Replacing the list: shrinking, changing in place and growing keep the model consistent.
        model.setUsers({QVariant::fromValue(plain)});
        QCOMPARE(names(), QStringList({QStringLiteral("Анна")}));
        model.setUsers(
            {QVariant::fromValue(withPicture), QVariant::fromValue(plain), QVariant::fromValue(withPicture)});
        QCOMPARE(names(), QStringList({QStringLiteral("Борис"), QStringLiteral("Анна"), QStringLiteral("Борис")}));
        model.setUsers({});
        QCOMPARE(model.rowCount(), 0);
    }
};

QTEST_MAIN(TestUserListSheet)
#include "tst_userlistsheet.moc"
