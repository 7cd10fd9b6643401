#pragma once

#include <QByteArray>

// One complete JSON object per record, compact, with every key (optional ones included) in the
// record's key-table order: what the records write for the value they read from it.
namespace RecordSamples {

inline const QByteArray user =
    R"({"id":7,"username":"anna","first_name":"Анна","last_name":"Смирнова","avatar_url":"https://example.org/a.jpg",)"
    R"("cover_url":"https://example.org/c.jpg","status_text":"На связи","is_verified":true,"followers_count":12,)"
    R"("following_count":3,"bio":"Музыка \"и\" книги","is_online":false,"last_seen_text":"был(а) вчера"})";

inline const QByteArray attachment =
    R"({"id":"a2","type":"audio","url":"https://example.org/s.mp3","title":"Песня","subtitle":"Исполнитель",)"
    R"("thumbnail_url":"https://example.org/t.jpg"})";

inline const QByteArray post =
    R"({"id":101,"author":{"id":8,"username":"user","first_name":"Пользователь","last_name":"","is_verified":false,)"
    R"("followers_count":0,"following_count":0,"is_online":true},"text":"Привет\nмир",)"
    R"("attachments":[{"id":"a1","type":"image","url":"https://example.org/p.jpg"}],"likes_count":5,)"
    R"("is_liked":false,"reposts_count":1,"is_reposted":true,"comments_count":2,"views_count":100,)"
    R"("created_at_formatted":"2 часа назад","channel_name":"Новости","channel_avatar_url":"https://example.org/n.jpg"})";

inline const QByteArray comment =
    R"({"id":5,"post_id":101,"author":{"id":7,"username":"anna","first_name":"Анна","last_name":"","is_verified":false,)"
    R"("followers_count":0,"following_count":0,"is_online":true},"text":"Класс","likes_count":2,"is_liked":true,)"
    R"("created_at_formatted":"вчера"})";

inline const QByteArray track =
    R"({"id":3,"title":"Трек","artist":"Группа","duration_seconds":215,"cover_url":"https://example.org/c.jpg",)"
    R"("audio_url":"https://example.org/t.mp3","is_liked":false,"explicit":true,"lyrics":"Строка 1\nСтрока 2",)"
    R"("album_name":"Альбом","frequency_fm":"101.7"})";

inline const QByteArray album = R"({"id":1,"title":"Альбом","artist":"Группа","tracks":[)" + track +
                                R"(],"cover_url":"https://example.org/c.jpg","release_year":"2025"})";

inline const QByteArray playlist =
    R"({"id":1234,"name":"Мой плейлист","description":"","tracks":[)" + track +
    R"(],"cover_url":"https://example.org/c.jpg","is_public":false,"share_url":"https://example.org/playlist/x"})";

inline const QByteArray radioStation =
    R"({"id":1,"name":"Радио","frequency":101.7,"genre":"Поп","streamUrl":"https://example.org/stream",)"
    R"("coverUrl":"https://example.org/r.jpg"})";

inline const QByteArray video =
    R"({"id":11,"title":"Видео","description":"Описание","author":{"id":7,"username":"anna","first_name":"Анна",)"
    R"("last_name":"","is_verified":false,"followers_count":0,"following_count":0,"is_online":true},)"
    R"("thumbnail_url":"https://example.org/v.jpg","video_url":"https://example.org/v.mp4","duration_seconds":3725,)"
    R"("views_count":1000,"likes_count":10,"is_liked":false,"created_at_formatted":"вчера"})";

inline const QByteArray channelPost =
    R"({"id":9,"channel_id":4,"text":"Пост канала","image_url":"https://example.org/i.jpg","likes_count":0,)"
    R"("views_count":1,"created_at_formatted":"Только что"})";

inline const QByteArray channel =
    R"({"id":4,"user_id":7,"name":"Канал","description":"О музыке","avatar_url":"https://example.org/a.jpg",)"
    R"("cover_url":"https://example.org/cv.jpg","subscribers_count":120,"is_subscribed":false,"is_verified":true,)"
    R"("category":"Музыка","posts":[)" +
    channelPost + "]}";

} // namespace RecordSamples
