// Decoding a feed reply of 1,000 posts (each with an author and attachments) into records,
// against QJsonDocument::fromJson alone on the same bytes. decodeFeedReply is the client's own
// route (envelope first, then the bare list, over one parse): it should take at most half as long
// as Qt's parser takes to give a document.
#include "Post.h"
#include "ReplyDecoder.h"

#include <QJsonDocument>

#include <benchmark/benchmark.h>

namespace {

QByteArray feedReply(int count)
{
    QList<Post> posts;
    posts.reserve(count);
    for (int i = 0; i < count; ++i) {
        const User author{
            .id = 1000 + i % 50,
            .username = QStringLiteral("user%1").arg(i % 50),
            .firstName = QStringLiteral("Анна"),
            .lastName = QStringLiteral("Смирнова"),
            .avatarUrl = QStringLiteral("https://example.org/media/avatars/%1.jpg").arg(i % 50),
            .coverUrl = std::nullopt,
            .statusText = QStringLiteral("На связи"),
            .isVerified = i % 7 == 0,
            .followersCount = 120 + i,
            .followingCount = 80,
            .bio = QStringLiteral("Музыка, путешествия и фотография"),
            .isOnline = i % 2 == 0,
            .lastSeenText = QStringLiteral("был(а) 5 минут назад"),
        };
        QList<PostAttachment> attachments;
        for (int a = 0; a < 1 + i % 3; ++a) {
            attachments.append(PostAttachment{
                .id = QStringLiteral("att_%1_%2").arg(i).arg(a),
                .type = a == 1 ? PostAttachment::AttachmentType::audio : PostAttachment::AttachmentType::image,
                .url = QStringLiteral("https://example.org/media/uploads/%1_%2.jpg").arg(i).arg(a),
                .title = a == 1 ? std::optional<QString>(QStringLiteral("Песня")) : std::nullopt,
                .subtitle = a == 1 ? std::optional<QString>(QStringLiteral("Исполнитель")) : std::nullopt,
                .thumbnailUrl = std::nullopt,
            });
        }
        posts.append(Post{
            .id = 50000 + i,
            .author = author,
            .text = QStringLiteral("Пост номер %1: сегодня отличный день, делюсь фотографиями с прогулки.").arg(i),
            .attachments = attachments,
            .likesCount = i * 3,
            .isLiked = i % 5 == 0,
            .repostsCount = i % 11,
            .isReposted = false,
            .commentsCount = i % 17,
            .viewsCount = 1000 + i * 13,
            .createdAtFormatted = QStringLiteral("2 часа назад"),
            .channelName = i % 10 == 0 ? std::optional<QString>(QStringLiteral("Новости")) : std::nullopt,
            .channelAvatarUrl = std::nullopt,
        });
    }
    return encodeJson(posts);
}

const QByteArray &reply()
{
    static const QByteArray bytes = feedReply(1000);
    return bytes;
}

void parseOnly(benchmark::State &state)
{
    const QByteArray &bytes = reply();
    for (auto _ : state) {
        QJsonDocument document = QJsonDocument::fromJson(bytes);
        benchmark::DoNotOptimize(document);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void decodeFeed(benchmark::State &state)
{
    const QByteArray &bytes = reply();
    for (auto _ : state) {
        QList<Post> posts = decodeJson<QList<Post>>(bytes);
        benchmark::DoNotOptimize(posts);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void decodeFeedReply(benchmark::State &state)
{
    const QByteArray &bytes = reply();
    for (auto _ : state) {
        QList<Post> posts = ReplyDecoder::decode<QList<Post>>(bytes);
        benchmark::DoNotOptimize(posts);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

// The same list inside an envelope: the first stage gives it.
void decodeFeedEnvelopeReply(benchmark::State &state)
{
    const QByteArray bytes = "{\"success\":true,\"data\":" + reply() + "}";
    for (auto _ : state) {
        QList<Post> posts = ReplyDecoder::decode<QList<Post>>(bytes);
        benchmark::DoNotOptimize(posts);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

// The route for a caller that already holds a QJsonValue: it is written out as JSON first.
void decodeFeedFromQJsonValue(benchmark::State &state)
{
    const QJsonDocument document = QJsonDocument::fromJson(reply());
    const QJsonValue value(document.array());
    for (auto _ : state) {
        QList<Post> posts = JsonCoding<QList<Post>>::decode(value);
        benchmark::DoNotOptimize(posts);
    }
}

void encodeFeed(benchmark::State &state)
{
    const QList<Post> posts = decodeJson<QList<Post>>(reply());
    for (auto _ : state) {
        QByteArray bytes = encodeJson(posts);
        benchmark::DoNotOptimize(bytes);
    }
}

} // namespace

BENCHMARK(parseOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(decodeFeed)->Unit(benchmark::kMillisecond);
BENCHMARK(decodeFeedReply)->Unit(benchmark::kMillisecond);
BENCHMARK(decodeFeedEnvelopeReply)->Unit(benchmark::kMillisecond);
BENCHMARK(decodeFeedFromQJsonValue)->Unit(benchmark::kMillisecond);
BENCHMARK(encodeFeed)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
