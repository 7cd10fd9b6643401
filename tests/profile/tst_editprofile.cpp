// The profile editor's form: labels seeded from the profile and moved by uploads, and the save
// that updates the profile model and the stored session, which the next launch restores.
#include "AuthViewModel.h"
#include "EditProfileModel.h"
#include "NetworkManager.h"
#include "ProfileViewModel.h"
#include "ScreenDriver.h"
#include "ScriptedResponder.h"
#include "ServiceProcess.h"
#include "SessionStore.h"
#include "TaskOutcome.h"

#include <QImage>
#include <QTest>

#include <algorithm>
#include <vector>

namespace {

QVariant picture()
{
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    return QVariant::fromValue(image);
}

const QString chooseAvatar = QStringLiteral("Выбрать аватарку с телефона");
const QString avatarLoaded = QStringLiteral("Аватарка загружена ✓");
const QString chooseCover = QStringLiteral("Выбрать обложку с телефона");
const QString coverLoaded = QStringLiteral("Обложка загружена ✓");

} // namespace

class TestEditProfile : public QObject
{
    Q_OBJECT

    ServiceProcess m_service;

    // The demo member's profile as the service has it.
    std::unique_ptr<ProfileViewModel> loadedProfile(qint64 id)
    {
        auto profile = std::make_unique<ProfileViewModel>(User{.id = id});
        if (!QTest::qWaitFor([&] { return !profile->isLoading(); }, VORLANE_PATIENT_WAIT_MS) ||
            profile->user().username.isEmpty())
            qFatal("profile %lld did not load", id);
        return profile;
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY2(m_service.start(), qPrintable(m_service.errors())); }

    void init()
    {
        ScreenDriver::clearSettings();
        NetworkManager::shared().setBaseURL(m_service.baseUrl());
    }

    void labelsAtOpeningDependOnlyOnTheAddresses_data()
    {
        QTest::addColumn<std::optional<QString>>("avatar");
        QTest::addColumn<std::optional<QString>>("cover");
        QTest::addColumn<QString>("avatarLabel");
        QTest::addColumn<QString>("coverLabel");
        QTest::newRow("both") << std::optional<QString>("http://h/a.png") << std::optional<QString>("http://h/c.png")
                              << avatarLoaded << coverLoaded;
        QTest::newRow("none") << std::optional<QString>() << std::optional<QString>() << chooseAvatar << chooseCover;
        QTest::newRow("empty texts") << std::optional<QString>("") << std::optional<QString>("") << chooseAvatar
                                     << chooseCover;
        // Not checked as an address: any text counts as uploaded.
        QTest::newRow("no address") << std::optional<QString>("not an address") << std::optional<QString>()
                                    << avatarLoaded << chooseCover;
    }
    void labelsAtOpeningDependOnlyOnTheAddresses()
    {
        QFETCH(std::optional<QString>, avatar);
        QFETCH(std::optional<QString>, cover);
        QFETCH(QString, avatarLabel);
        QFETCH(QString, coverLabel);
        NetworkManager::shared().setBaseURL(ScriptedResponder::refusingBaseUrl());
        ProfileViewModel profile(
            User{.id = 3, .avatarUrl = avatar, .coverUrl = cover, .statusText = QStringLiteral("s")});
        EditProfileModel form;
        form.setViewModel(&profile);
        QCOMPARE(form.avatarLabel(), avatarLabel);
        QCOMPARE(form.coverLabel(), coverLabel);
        QCOMPARE(form.avatarUrl(), avatar.value_or(QString()));
        QCOMPARE(form.statusText(), QStringLiteral("s"));
        QCOMPARE(form.bio(), QString());
    }

    // An upload sets the address and its label; one that brings no address (an empty one, or a
    // refusal) leaves the row as it was. An upload saves nothing.
    void anUploadSetsTheAddressOnlyWhenOneIsStored_data()
    {
        QTest::addColumn<QByteArray>("reply"); // empty: the reference service stores the picture
        QTest::addColumn<std::optional<QString>>("cover");
        QTest::newRow("stored") << QByteArray() << std::optional<QString>();
        QTest::newRow("empty address, no cover")
            << QByteArray(R"({"success": true, "data": {"url": ""}})") << std::optional<QString>();
        QTest::newRow("empty address, a cover")
            << QByteArray(R"({"success": true, "data": {"url": ""}})") << std::optional<QString>("http://h/old.png");
        QTest::newRow("refused, a cover")
            << QByteArray(R"({"success": false, "message": "Нет"})") << std::optional<QString>("http://h/old.png");
    }
    void anUploadSetsTheAddressOnlyWhenOneIsStored()
    {
        QFETCH(QByteArray, reply);
        QFETCH(std::optional<QString>, cover);
        ScriptedResponder responder;
        responder.reply(200, reply);
        NetworkManager::shared().setBaseURL(ScriptedResponder::refusingBaseUrl());
        ProfileViewModel profile(User{.id = 3, .coverUrl = cover});
        QTRY_VERIFY(!profile.isLoading());
        NetworkManager::shared().setBaseURL(reply.isEmpty() ? m_service.baseUrl() : responder.baseUrl());
        EditProfileModel form;
        form.setViewModel(&profile);
        const QString label = form.coverLabel();
        form.uploadCover(picture());
        QVERIFY(form.isUploadingCover());
        QVERIFY(!form.isUploadingAvatar());
        QTRY_VERIFY(!form.isUploadingCover());
        if (reply.isEmpty()) {
            QVERIFY2(form.coverUrl().startsWith(m_service.siteUrl() + "/media/"), qPrintable(form.coverUrl()));
            QCOMPARE(form.coverLabel(), coverLoaded);
        } else {
            QCOMPARE(responder.requests().size(), 1);
            QCOMPARE(form.coverUrl(), cover.value_or(QString()));
            QCOMPARE(form.coverLabel(), label);
        }
        QCOMPARE(profile.user().coverUrl, cover);
    }

    void anUploadEndingAfterTheFormWentTouchesNothing()
    {
        ProfileViewModel profile(User{.id = 3});
        QTRY_VERIFY(!profile.isLoading());
        const User before = profile.user();
        auto *form = new EditProfileModel;
        form->setViewModel(&profile);
        form->uploadAvatar(picture());
        delete form;
        QTest::qWait(300);
        QCOMPARE(profile.user(), before);
    }

    // The stored record is the model's user with the save applied; a new session owner, as at the
    // next launch, restores it, while the running one keeps its user.
    void aSaveIsStoredAndRestoredAtTheNextLaunch()
    {
        AuthViewModel running;
        QVERIFY(runToEnd(running.login(ServiceProcess::demoUsername(), ServiceProcess::demoPassword()))
                    .value.value_or(false));
        const User signedIn = *running.currentUser();

        const auto profile = loadedProfile(signedIn.id);
        EditProfileModel form;
        form.setViewModel(profile.get());
        form.setStatusText(QStringLiteral("Сохранено редактором"));
        form.setBio(QString()); // cleared: the old biography stays
        QVariant savedUser;
        connect(&form, &EditProfileModel::saved, this, [&](const QVariant &user) { savedUser = user; });
        QVERIFY(runToEnd(form.saveProfile()).value.value_or(false));

        User expected = signedIn;
        expected.statusText = QStringLiteral("Сохранено редактором");
        QCOMPARE(profile->user(), expected);
        QCOMPARE(savedUser.value<User>(), expected);
        QCOMPARE(SessionStore::restore(), std::optional<User>(expected));
        QCOMPARE(*running.currentUser(), signedIn);

        AuthViewModel nextLaunch;
        QVERIFY(nextLaunch.isAuthenticated());
        QCOMPARE(nextLaunch.currentUser(), std::optional<User>(expected));
    }

    // Every press sends a save of its own, also while an earlier one still waits for its reply:
    // the updates carry the same texts, so no second record can come of them. Each save that
    // succeeds stores the session and reports it; a refused one changes nothing.
    void everyPressSendsItsOwnSave_data()
    {
        QTest::addColumn<QList<QByteArray>>("replies"); // in the order the saves were sent
        QTest::addColumn<QList<bool>>("outcomes");
        const QByteArray accepted(R"({"success": true, "message": "Профиль обновлён"})");
        const QByteArray refused(R"({"success": false, "message": "Нет"})");
        QTest::newRow("both accepted") << QList<QByteArray>{accepted, accepted} << QList<bool>{true, true};
        QTest::newRow("first refused") << QList<QByteArray>{refused, accepted} << QList<bool>{false, true};
        QTest::newRow("second refused") << QList<QByteArray>{accepted, refused} << QList<bool>{true, false};
        QTest::newRow("three presses") << QList<QByteArray>{accepted, accepted, accepted}
                                       << QList<bool>{true, true, true};
    }
    void everyPressSendsItsOwnSave()
    {
        QFETCH(QList<QByteArray>, replies);
        QFETCH(QList<bool>, outcomes);
        const auto profile = loadedProfile(5);
        ScriptedResponder responder;
        for (qsizetype i = 0; i < replies.size(); ++i)
            responder.replyNothing();
        NetworkManager::shared().setBaseURL(responder.baseUrl());
        EditProfileModel form;
        form.setViewModel(profile.get());
        form.setStatusText(QStringLiteral("Каждый раз"));
        int savedCount = 0;
        connect(&form, &EditProfileModel::saved, this, [&] { ++savedCount; });

        std::vector<QCoro::Task<bool>> saves;
        for (qsizetype i = 0; i < replies.size(); ++i)
            saves.push_back(form.saveProfile());
        QVERIFY(responder.waitForRequests(int(replies.size())));
        for (const ScriptedResponder::Request &request : responder.requests())
            QCOMPARE(request.body, responder.requests().constFirst().body);
        for (const QByteArray &reply : replies)
            QVERIFY(responder.answerWaiting(200, reply));
        // The saves may reach the responder over parallel connections in any order, and so meet
        // their replies in any order: what counts is how many went through.
        QList<bool> ended;
        for (QCoro::Task<bool> &save : saves)
            ended << runToEnd(std::move(save)).value.value_or(false);
        std::sort(ended.begin(), ended.end());
        std::sort(outcomes.begin(), outcomes.end());
        QCOMPARE(ended, outcomes);

        QCOMPARE(responder.requests().size(), replies.size());
        QCOMPARE(savedCount, int(outcomes.count(true)));
        QCOMPARE(profile->user().statusText, std::optional<QString>(QStringLiteral("Каждый раз")));
        QCOMPARE(SessionStore::restore(), std::optional<User>(profile->user()));
    }

    // The sheet closed while the save was under way: the model and the session still get it.
    void aSaveLandingAfterTheFormWentStillUpdatesModelAndSession()
    {
        const auto profile = loadedProfile(4);
        auto *form = new EditProfileModel;
        form->setViewModel(profile.get());
        form->setBio(QStringLiteral("Сохранено после закрытия"));
        form->save();
        delete form;
        QTRY_COMPARE(profile->user().bio, QStringLiteral("Сохранено после закрытия"));
        QCOMPARE(SessionStore::restore(), std::optional<User>(profile->user()));
    }
};

QTEST_MAIN(TestEditProfile)
#include "tst_editprofile.moc"
