#pragma once

#include "LoadingModel.h"
#include "Post.h"
#include "User.h"

#include <QCoroTask>
#include <QQmlParserStatus>
#include <QUrl>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

// One profile screen's model: the shown user and their wall (the feed's posts by that user).
// It loads both as soon as it is made, for the user it is made with, and sends the editor's
// profile changes.
class ProfileViewModel : public LoadingModel, public QQmlParserStatus
{
    Q_OBJECT
    QML_ELEMENT
    Q_INTERFACES(QQmlParserStatus)
    // Only read when the model is made from QML; afterwards the model owns `user`.
    Q_PROPERTY(QVariant initialUser READ userValue WRITE setInitialUser)
    Q_PROPERTY(QVariant user READ userValue NOTIFY userChanged)
    Q_PROPERTY(QString fullName READ fullName NOTIFY userChanged)
    Q_PROPERTY(bool isVerified READ isVerified NOTIFY userChanged)
    // The status and biography lines; empty when the screen leaves the line out.
    Q_PROPERTY(QString statusText READ statusText NOTIFY userChanged)
    Q_PROPERTY(QString bio READ bio NOTIFY userChanged)
    // The cover picture's address; empty when the user has none worth loading (the gradient shows).
    Q_PROPERTY(QUrl coverSource READ coverSource NOTIFY userChanged)
    Q_PROPERTY(QString followersCountText READ followersCountText NOTIFY userChanged)
    Q_PROPERTY(QString followingCountText READ followingCountText NOTIFY userChanged)
    Q_PROPERTY(QAbstractItemModel *userPosts READ userPostsModel CONSTANT)

public:
    // From QML: the user comes through initialUser, the load starts once the object is complete.
    explicit ProfileViewModel(QObject *parent = nullptr);
    // From C++: loads at once.
    explicit ProfileViewModel(const User &user, QObject *parent = nullptr);

    const User &user() const { return m_user; }
    const QList<Post> &userPosts() const { return m_userPosts.rows(); }
    QAbstractItemModel *userPostsModel() { return &m_userPosts; }

    // Fetches the profile, then the feed for the wall; a failure keeps what is shown.
    Q_INVOKABLE void loadUserProfile();

    // Sends the four texts for the shown user. True only when the service accepted them; then each
    // non-empty text has replaced its field of `user` (an empty one keeps the field). A refusal or
    // a failed call changes nothing.
    QCoro::Task<bool> updateProfile(QString avatarUrl, QString coverUrl, QString statusText, QString bio);

    // The viewer's own profile: a signed-in user whose id is the shown user's.
    Q_INVOKABLE static bool isOwnProfile(const QVariant &shownUser, const QVariant &currentUser);
    // Followers and followings sheets list the built-in sample user, whatever the profile.
    Q_INVOKABLE static QVariantList sheetUsers();

    void classBegin() override {}
    void componentComplete() override;

Q_SIGNALS:
    void userChanged();
    void userPostsChanged();

private:
    QVariant userValue() const { return QVariant::fromValue(m_user); }
    void setInitialUser(const QVariant &user);
    QString fullName() const { return m_user.fullName(); }
    bool isVerified() const { return m_user.isVerified; }
    QString statusText() const { return m_user.statusText.value_or(QString()); }
    QString bio() const { return m_user.bio.value_or(QString()); }
    QUrl coverSource() const;
    QString followersCountText() const { return QString::number(m_user.followersCount); }
    QString followingCountText() const { return QString::number(m_user.followingCount); }
    QCoro::Task<> fetchProfile(qint64 userId);

    User m_user = User::demoUser();
    RecordListModel<Post> m_userPosts;
    bool m_started = false;
};
