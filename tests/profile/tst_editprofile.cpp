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
#include <QSettings>
#include <QTest>

namespace {

QVariant storedEntry()
{
    return QSettings(QStringLiteral("Vorlane"), QStringLiteral("Vorlane")).value(QLatin1String(SessionStore::key));
}

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
        if (!QTest::qWaitFor([&] { return !profile->isLoading(); }) || profile->user().username.isEmpty())
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

    void anUploadSetsTheAddressAndItsLabel()
    {
        NetworkManager::shared().setBaseURL(ScriptedResponder::refusingBaseUrl());
        ProfileViewModel profile(User{.id = 3});
        QTRY_VERIFY(!profile.isLoading());
        NetworkManager::shared().setBaseURL(m_service.baseUrl());
        EditProfileModel form;
        form.setViewModel(&profile);
        QCOMPARE(form.avatarLabel(), chooseAvatar);

        form.uploadAvatar(picture());
        QVERIFY(form.isUploadingAvatar());
        QVERIFY(!form.isUploadingCover());
        QTRY_VERIFY(!form.isUploadingAvatar());
        QVERIFY2(form.avatarUrl().startsWith(m_service.siteUrl() + "/media/"), qPrintable(form.avatarUrl()));
        QCOMPARE(form.avatarLabel(), avatarLoaded);
        // Nothing is saved by an upload.
        QVERIFY(profile.user().avatarUrl != form.avatarUrl());
    }

    // An empty address is no stored picture: the row stays as it was, like after a refusal.
    void anUploadThatBringsNoAddressLeavesTheRow_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<std::optional<QString>>("cover");
        QTest::newRow("empty address, no cover")
            << QByteArray(R"({"success": true, "data": {"url": ""}})") << std::optional<QString>();
        QTest::newRow("empty address, a cover")
            << QByteArray(R"({"success": true, "data": {"url": ""}})") << std::optional<QString>("http://h/old.png");
        QTest::newRow("refused, a cover")
            << QByteArray(R"({"success": false, "message": "Нет"})") << std::optional<QString>("http://h/old.png");
    }
    void anUploadThatBringsNoAddressLeavesTheRow()
    {
        QFETCH(QByteArray, reply);
        QFETCH(std::optional<QString>, cover);
        ScriptedResponder responder;
        responder.reply(200, reply);
        NetworkManager::shared().setBaseURL(ScriptedResponder::refusingBaseUrl());
        ProfileViewModel profile(User{.id = 3, .coverUrl = cover});
        QTRY_VERIFY(!profile.isLoading());
        NetworkManager::shared().setBaseURL(responder.baseUrl());
        EditProfileModel form;
        form.setViewModel(&profile);
        const QString label = form.coverLabel();
        form.uploadCover(picture());
        QVERIFY(form.isUploadingCover());
        QTRY_VERIFY(!form.isUploadingCover());
        QCOMPARE(responder.requests().size(), 1);
        QCOMPARE(form.coverUrl(), cover.value_or(QString()));
        QCOMPARE(form.coverLabel(), label);
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

    void aRefusedSaveStoresNothing_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("success false, HTTP 500") << 500 << QByteArray(R"({"success": false, "message": "Сбой"})");
        QTest::newRow("success false, HTTP 200") << 200 << QByteArray(R"({"success": false})");
    }
    void aRefusedSaveStoresNothing()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, reply);
        const auto profile = loadedProfile(2);
        SessionStore::save(profile->user());
        const QVariant entryBefore = storedEntry();
        const User before = profile->user();

        ScriptedResponder responder;
        responder.reply(status, reply);
        NetworkManager::shared().setBaseURL(responder.baseUrl());
        EditProfileModel form;
        form.setViewModel(profile.get());
        form.setAvatarUrl(QStringLiteral("http://h/new.png"));
        form.setStatusText(QStringLiteral("Не сохранится"));
        bool closed = false;
        connect(&form, &EditProfileModel::saved, this, [&] { closed = true; });
        QVERIFY(!runToEnd(form.saveProfile()).value.value_or(true));

        QCOMPARE(responder.requests().size(), 1);
        QCOMPARE(profile->user(), before);
        QCOMPARE(storedEntry(), entryBefore);
        QVERIFY(!closed);
        // The form keeps what was typed, for a second try.
        QCOMPARE(form.statusText(), QStringLiteral("Не сохранится"));
        AuthViewModel nextLaunch;
        QCOMPARE(nextLaunch.currentUser(), std::optional<User>(before));
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
