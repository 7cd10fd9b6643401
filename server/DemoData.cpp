// The demo network: members, their posts with pictures and sounds, tracks, videos and channels.
#include "Database.h"
#include "DemoContent.h"
#include "PasswordHash.h"
#include "Statement.h"
#include "TimeText.h"

#include <QList>
#include <QUuid>
#include <future>
#include <vector>
#include <QString>
#include <optional>

namespace {
struct DemoUser
{
    const char *username;
    const char *email;
    const char *password;
    const char *firstName;
    const char *lastName;
    const char *status;
    const char *bio;
    bool verified;
    bool online;
};

const DemoUser Users[] = {
    {DemoContent::DemoUsername, "demo@vorlane.local", DemoContent::DemoPassword, "Анна", "Смирнова",
     "Свобода общения и музыка 🚀", "Слушаю музыку, снимаю закаты и пишу о городе.", true, true},
    {"ivan", "ivan@vorlane.local", "ivan12345", "Иван", "Петров", "На связи", "Инженер и велосипедист.", false, true},
    {"maria", "maria@vorlane.local", "maria12345", "Мария", "Козлова", "Рисую каждый день 🎨", nullptr, false, false},
    {"sergey", "sergey@vorlane.local", "sergey12345", "Сергей", "Волков", nullptr, "Гитара, джаз и кофе.", false, false},
    {"olga", "olga@vorlane.local", "olga12345", "Ольга", "", "В пути ✈️", nullptr, false, true},
    {"vorlane", "team@vorlane.local", nullptr, "Vorlane", "", "Официальная страница", "Новости сети Vorlane.", true,
     false},
};

std::optional<QString> text(const char *value)
{
    return value ? std::optional<QString>(QString::fromUtf8(value)) : std::nullopt;
}

QString demoMedia(const QString &name)
{
    return QStringLiteral("/media/demo/") + name;
}

// Ids are assigned in insertion order on an empty database, so the tables below can refer to them.
void users(Database &db, qint64 now)
{
    // Hashing is slow on purpose; the demo members' hashes are made side by side.
    std::vector<std::future<PasswordHash>> hashes;
    for (const DemoUser &user : Users) {
        // The official page has no password anybody knows: a random one, never shown.
        const QString password = user.password ? QString::fromUtf8(user.password)
                                               : QUuid::createUuid().toString() + QUuid::createUuid().toString();
        hashes.push_back(std::async(std::launch::async, [password] { return PasswordHash::make(password); }));
    }
    for (int i = 0; i < int(std::size(Users)); ++i) {
        const DemoUser &user = Users[i];
        const PasswordHash hash = hashes[size_t(i)].get();
        Statement insert(db, "INSERT INTO users (username, email, password_salt, password_hash, password_iterations, "
                             "first_name, last_name, avatar_url, cover_url, status_text, bio, is_verified, is_online, "
                             "last_seen_at, created_at) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, "
                             "?14, ?15)");
        insert.bind(1, user.username).bind(2, user.email).bindBlob(3, hash.salt).bindBlob(4, hash.hash);
        insert.bind(5, qint64(hash.iterations)).bind(6, user.firstName).bind(7, user.lastName);
        insert.bind(8, demoMedia(QStringLiteral("avatar-%1.png").arg(i + 1)));
        insert.bind(9, demoMedia(QStringLiteral("cover-%1.png").arg(i + 1)));
        insert.bind(10, text(user.status)).bind(11, text(user.bio)).bind(12, user.verified).bind(13, user.online);
        if (user.online)
            insert.bind(14, std::optional<QString>());
        else
            insert.bind(14, now - 3600 * (i + 1));
        insert.bind(15, now - 86400 * 30);
        insert.run();
    }
    const int follows[][2] = {{1, 2}, {1, 3}, {1, 6}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {2, 3}, {3, 4}, {5, 6}, {4, 6}};
    for (const auto &pair : follows) {
        Statement insert(db, "INSERT INTO follows (follower_id, followee_id) VALUES (?1, ?2)");
        insert.bind(1, pair[0]).bind(2, pair[1]).run();
    }
}

void channels(Database &db, qint64 now)
{
    struct Channel
    {
        std::optional<qint64> owner;
        const char *name;
        const char *description;
        int picture;
        bool verified;
        const char *category;
    };
    const Channel list[] = {
        {6, "Vorlane Новости", "Новое в сети Vorlane: функции, события и советы.", 1, true, "Новости"},
        {1, "Закаты и города", "Фотографии городов на закате. Каждый вечер по одной.", 2, false, "Фото"},
        {std::nullopt, "Джаз по вечерам", "Подборки джаза для спокойного вечера.", 4, false, "Музыка"},
    };
    for (const Channel &channel : list) {
        Statement insert(db, "INSERT INTO channels (user_id, name, description, avatar_url, cover_url, is_verified, "
                             "category, created_at) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
        if (channel.owner)
            insert.bind(1, *channel.owner);
        insert.bind(2, channel.name).bind(3, channel.description);
        insert.bind(4, demoMedia(QStringLiteral("sleeve-%1.png").arg(channel.picture)));
        insert.bind(5, demoMedia(QStringLiteral("cover-%1.png").arg(channel.picture)));
        insert.bind(6, channel.verified).bind(7, channel.category).bind(8, now - 86400 * 20);
        insert.run();
    }
    const int subscriptions[][2] = {{1, 1}, {1, 2}, {1, 3}, {1, 4}, {1, 5}, {2, 2}, {2, 3}, {3, 1}, {3, 4}};
    for (const auto &pair : subscriptions) {
        Statement insert(db, "INSERT INTO channel_subscriptions (channel_id, user_id) VALUES (?1, ?2)");
        insert.bind(1, pair[0]).bind(2, pair[1]).run();
    }
    struct Post
    {
        int channel;
        const char *text;
        int photo; // 0: none
        int likes;
        int views;
        qint64 age;
    };
    const Post posts[] = {
        {1, "Добро пожаловать в Vorlane! Здесь новости, музыка, видео и каналы в одном месте.", 1, 120, 2400, 86400 * 3},
        {1, "Теперь в музыке можно собирать свои плейлисты и делиться ссылкой.", 0, 58, 1300, 7200},
        {2, "Набережная в семь вечера.", 3, 34, 410, 5400},
        {2, "Крыши старого центра.", 5, 21, 260, 86400 + 600},
        {3, "Сегодня в подборке — тихий фортепианный джаз.", 0, 12, 150, 1800},
    };
    for (const Post &post : posts) {
        Statement insert(db, "INSERT INTO channel_posts (channel_id, text, image_url, likes_count, views_count, "
                             "created_at) VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
        insert.bind(1, post.channel).bind(2, post.text);
        if (post.photo)
            insert.bind(3, demoMedia(QStringLiteral("photo-%1.png").arg(post.photo)));
        insert.bind(4, post.likes).bind(5, post.views).bind(6, now - post.age).run();
    }
}

void feed(Database &db, qint64 now)
{
    struct Attachment
    {
        const char *kind;
        QString url;
        const char *title;
        const char *subtitle;
        std::optional<QString> thumbnail;
    };
    struct Post
    {
        int author;
        std::optional<qint64> channel;
        const char *text;
        QList<Attachment> attachments;
        int views;
        qint64 age;
    };
    const QList<Post> posts = {
        {1, {}, "Вечерний город с крыши. Кто узнает район?",
         {{"image", demoMedia(QStringLiteral("photo-1.png")), nullptr, nullptr, {}}}, 340, 600},
        {2, {}, "Собрал мелодию для утренней пробежки — послушайте!",
         {{"audio", demoMedia(QStringLiteral("tune-1.wav")), "Утренний ритм", "Иван Петров",
           demoMedia(QStringLiteral("sleeve-2.png"))}},
         120, 3600 * 2},
        {6, 1, "Vorlane обновился: быстрее лента и новые каналы.", {}, 5200, 3600 * 5},
        {3, {}, "Новый скетч и немного музыки к нему.",
         {{"image", demoMedia(QStringLiteral("photo-4.png")), nullptr, nullptr, {}},
          {"audio", demoMedia(QStringLiteral("tune-3.wav")), "Акварель", "Мария Козлова", {}}},
         210, 86400 + 1200},
        {4, {}, "Короткое видео с репетиции.",
         {{"video", demoMedia(QStringLiteral("clip-2.avi")), "Репетиция", nullptr,
           demoMedia(QStringLiteral("photo-2.png"))}},
         90, 86400 * 2},
        {5, {}, "Хорошего всем дня!", {}, 45, 86400 * 4},
    };
    qint64 postId = 0;
    for (const Post &post : posts) {
        Statement insert(db, "INSERT INTO posts (author_id, channel_id, text, views_count, created_at) "
                             "VALUES (?1, ?2, ?3, ?4, ?5)");
        insert.bind(1, post.author);
        if (post.channel)
            insert.bind(2, *post.channel);
        insert.bind(3, post.text).bind(4, post.views).bind(5, now - post.age).run();
        postId = db.lastInsertId();
        for (const Attachment &attachment : post.attachments) {
            Statement add(db, "INSERT INTO post_attachments (post_id, kind, url, title, subtitle, thumbnail_url) "
                              "VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
            add.bind(1, postId).bind(2, attachment.kind).bind(3, attachment.url);
            add.bind(4, text(attachment.title)).bind(5, text(attachment.subtitle)).bind(6, attachment.thumbnail).run();
        }
    }
    const int likes[][2] = {{1, 2}, {1, 3}, {1, 4}, {2, 1}, {2, 5}, {3, 1}, {3, 2}, {3, 3}, {4, 1}, {6, 2}};
    for (const auto &pair : likes) {
        Statement insert(db, "INSERT INTO post_likes (post_id, user_id) VALUES (?1, ?2)");
        insert.bind(1, pair[0]).bind(2, pair[1]).run();
    }
    const int reposts[][2] = {{1, 2}, {3, 1}, {3, 5}};
    for (const auto &pair : reposts) {
        Statement insert(db, "INSERT INTO reposts (post_id, user_id) VALUES (?1, ?2)");
        insert.bind(1, pair[0]).bind(2, pair[1]).run();
    }
    struct Comment
    {
        int post;
        int author;
        const char *text;
        qint64 age;
    };
    const Comment comments[] = {
        {1, 2, "Похоже на набережную!", 300}, {1, 3, "Красота 😍", 200}, {2, 1, "Бодрит, спасибо!", 3000},
        {4, 1, "Очень нежно получилось.", 80000},
    };
    for (const Comment &comment : comments) {
        Statement insert(db, "INSERT INTO comments (post_id, author_id, text, created_at) VALUES (?1, ?2, ?3, ?4)");
        insert.bind(1, comment.post).bind(2, comment.author).bind(3, comment.text).bind(4, now - comment.age).run();
    }
}

// Feed cards of every kind beyond the posts above: an audio row without names (the card's own
// fallbacks show) and a post with two pictures. Seeded after them, so the ids above stay put.
void feedCardKinds(Database &db, qint64 now)
{
    struct Extra
    {
        int author;
        const char *text;
        const char *kind;
        const char *media;
        qint64 age;
    };
    const Extra extras[] = {
        {5, "Запись с прогулки, без названия.", "audio", "tune-2.wav", 3600 * 3},
        {1, "Два вечера на одной набережной.", "image", "photo-3.png", 86400 * 3},
        {1, nullptr, "image", "photo-5.png", 86400 * 3},
    };
    qint64 postId = 0;
    for (const Extra &extra : extras) {
        // An entry without text adds its picture to the post before it.
        if (extra.text) {
            Statement insert(db,
                             "INSERT INTO posts (author_id, text, views_count, created_at) VALUES (?1, ?2, ?3, ?4)");
            insert.bind(1, extra.author).bind(2, extra.text).bind(3, 75).bind(4, now - extra.age).run();
            postId = db.lastInsertId();
        }
        Statement add(db, "INSERT INTO post_attachments (post_id, kind, url) VALUES (?1, ?2, ?3)");
        add.bind(1, postId).bind(2, extra.kind).bind(3, demoMedia(QString::fromUtf8(extra.media))).run();
    }
}

void music(Database &db, qint64 now)
{
    struct Track
    {
        const char *title;
        const char *artist;
        int duration;
        int sleeve;
        const char *tune;
        bool explicitContent;
        const char *lyrics;
        const char *album;
        const char *frequency;
    };
    const Track tracks[] = {
        {"Утренний ритм", "Иван Петров", 2, 2, "tune-1.wav", false, "Раз, два — и в путь,\nгород ещё спит.",
         "Пробежка", nullptr},
        {"Спуск", "Северный ветер", 2, 3, "tune-2.wav", false, nullptr, "Пробежка", nullptr},
        {"Акварель", "Мария Козлова", 2, 4, "tune-3.wav", false, "Краски на воде,\nсвет в окне.", "Скетчи", nullptr},
        {"Громко", "Северный ветер", 2, 5, "tune-2.wav", true, nullptr, nullptr, nullptr},
        {"Радио Vorlane", "Vorlane FM", 0, 1, "tune-1.wav", false, nullptr, nullptr, "101.7"},
    };
    qint64 age = 0;
    for (const Track &track : tracks) {
        Statement insert(db, "INSERT INTO tracks (title, artist, duration_seconds, cover_url, audio_url, explicit, "
                             "lyrics, album_name, frequency_fm, created_at) "
                             "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)");
        insert.bind(1, track.title).bind(2, track.artist).bind(3, track.duration);
        insert.bind(4, demoMedia(QStringLiteral("sleeve-%1.png").arg(track.sleeve)));
        insert.bind(5, demoMedia(QString::fromUtf8(track.tune))).bind(6, track.explicitContent);
        insert.bind(7, text(track.lyrics)).bind(8, text(track.album)).bind(9, text(track.frequency));
        insert.bind(10, now - 86400 - age).run();
        age += 600;
    }
}

void videos(Database &db, qint64 now)
{
    struct Video
    {
        int author;
        const char *title;
        const char *description;
        int photo;
        const char *clip;
        int views;
        int likes;
        qint64 age;
    };
    const Video videos[] = {
        {1, "Закат над заливом", "Три секунды спокойствия.", 1, "clip-1.avi", 1520, 87, 3600 * 3},
        {4, "Репетиция", "Кусочек с репетиции квартета.", 2, "clip-2.avi", 640, 31, 86400 * 2},
        {6, "Как пользоваться каналами", "", 6, "clip-1.avi", 9800, 410, 86400 * 6},
    };
    for (const Video &video : videos) {
        Statement insert(db, "INSERT INTO videos (author_id, title, description, thumbnail_url, video_url, "
                             "duration_seconds, views_count, likes_count, created_at) "
                             "VALUES (?1, ?2, ?3, ?4, ?5, 3, ?6, ?7, ?8)");
        insert.bind(1, video.author).bind(2, video.title).bind(3, video.description);
        insert.bind(4, demoMedia(QStringLiteral("photo-%1.png").arg(video.photo)));
        insert.bind(5, demoMedia(QString::fromUtf8(video.clip)));
        insert.bind(6, video.views).bind(7, video.likes).bind(8, now - video.age).run();
    }
}
}

void DemoContent::seed(Database &db)
{
    std::lock_guard lock(db.mutex());
    Statement count(db, "SELECT COUNT(*) FROM users");
    if (count.next() && count.integer(0) > 0)
        return;
    const qint64 now = TimeText::now();
    Transaction transaction(db);
    users(db, now);
    channels(db, now);
    feed(db, now);
    feedCardKinds(db, now);
    music(db, now);
    videos(db, now);
    transaction.commit();
}
