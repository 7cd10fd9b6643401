#include "Schema.h"

#include "Database.h"
#include "Statement.h"

namespace {
// Addresses are kept as given: absolute for what clients send, site-relative ("/media/...")
// for the demo media, which the replies complete with the address the service runs at.
const char *const Tables = R"sql(
CREATE TABLE IF NOT EXISTS users (
    id INTEGER PRIMARY KEY,
    username TEXT NOT NULL UNIQUE COLLATE NOCASE,
    email TEXT NOT NULL UNIQUE COLLATE NOCASE,
    password_salt BLOB NOT NULL,
    password_hash BLOB NOT NULL,
    password_iterations INTEGER NOT NULL,
    first_name TEXT NOT NULL,
    last_name TEXT NOT NULL DEFAULT '',
    avatar_url TEXT,
    cover_url TEXT,
    status_text TEXT,
    bio TEXT,
    is_verified INTEGER NOT NULL DEFAULT 0,
    is_online INTEGER NOT NULL DEFAULT 0,
    last_seen_at INTEGER,
    created_at INTEGER NOT NULL,
    name_key TEXT
);
CREATE TABLE IF NOT EXISTS follows (
    follower_id INTEGER NOT NULL REFERENCES users(id),
    followee_id INTEGER NOT NULL REFERENCES users(id),
    PRIMARY KEY (follower_id, followee_id)
);
CREATE TABLE IF NOT EXISTS channels (
    id INTEGER PRIMARY KEY,
    user_id INTEGER REFERENCES users(id),
    name TEXT NOT NULL,
    description TEXT NOT NULL DEFAULT '',
    avatar_url TEXT,
    cover_url TEXT,
    is_verified INTEGER NOT NULL DEFAULT 0,
    category TEXT NOT NULL,
    created_at INTEGER NOT NULL
);
CREATE TABLE IF NOT EXISTS channel_subscriptions (
    channel_id INTEGER NOT NULL REFERENCES channels(id),
    user_id INTEGER NOT NULL REFERENCES users(id),
    PRIMARY KEY (channel_id, user_id)
);
CREATE TABLE IF NOT EXISTS channel_posts (
    id INTEGER PRIMARY KEY,
    channel_id INTEGER NOT NULL REFERENCES channels(id),
    text TEXT NOT NULL,
    image_url TEXT,
    likes_count INTEGER NOT NULL DEFAULT 0,
    views_count INTEGER NOT NULL DEFAULT 0,
    created_at INTEGER NOT NULL
);
CREATE TABLE IF NOT EXISTS posts (
    id INTEGER PRIMARY KEY,
    author_id INTEGER NOT NULL REFERENCES users(id),
    channel_id INTEGER REFERENCES channels(id),
    text TEXT NOT NULL,
    views_count INTEGER NOT NULL DEFAULT 0,
    created_at INTEGER NOT NULL
);
CREATE TABLE IF NOT EXISTS post_attachments (
    id INTEGER PRIMARY KEY,
    post_id INTEGER NOT NULL REFERENCES posts(id),
    kind TEXT NOT NULL CHECK (kind IN ('image', 'video', 'audio')),
    url TEXT NOT NULL,
    title TEXT,
    subtitle TEXT,
    thumbnail_url TEXT
);
CREATE TABLE IF NOT EXISTS post_likes (
    post_id INTEGER NOT NULL REFERENCES posts(id),
    user_id INTEGER NOT NULL REFERENCES users(id),
    PRIMARY KEY (post_id, user_id)
);
CREATE TABLE IF NOT EXISTS reposts (
    post_id INTEGER NOT NULL REFERENCES posts(id),
    user_id INTEGER NOT NULL REFERENCES users(id),
    PRIMARY KEY (post_id, user_id)
);
CREATE TABLE IF NOT EXISTS comments (
    id INTEGER PRIMARY KEY,
    post_id INTEGER NOT NULL REFERENCES posts(id),
    author_id INTEGER NOT NULL REFERENCES users(id),
    text TEXT NOT NULL,
    created_at INTEGER NOT NULL
);
CREATE TABLE IF NOT EXISTS tracks (
    id INTEGER PRIMARY KEY,
    title TEXT NOT NULL,
    artist TEXT NOT NULL,
    duration_seconds INTEGER NOT NULL,
    cover_url TEXT,
    audio_url TEXT NOT NULL,
    explicit INTEGER NOT NULL DEFAULT 0,
    lyrics TEXT,
    album_name TEXT,
    frequency_fm TEXT,
    created_at INTEGER NOT NULL
);
CREATE TABLE IF NOT EXISTS videos (
    id INTEGER PRIMARY KEY,
    author_id INTEGER NOT NULL REFERENCES users(id),
    title TEXT NOT NULL,
    description TEXT NOT NULL DEFAULT '',
    thumbnail_url TEXT NOT NULL,
    video_url TEXT NOT NULL,
    duration_seconds INTEGER NOT NULL,
    views_count INTEGER NOT NULL DEFAULT 0,
    likes_count INTEGER NOT NULL DEFAULT 0,
    created_at INTEGER NOT NULL
);
)sql";

// What the reads look up by: a post's attachments and comments, a member's followers, the feed's order.
const char *const Indexes = R"sql(
CREATE INDEX IF NOT EXISTS post_attachments_by_post ON post_attachments (post_id, id);
CREATE INDEX IF NOT EXISTS comments_by_post ON comments (post_id);
CREATE INDEX IF NOT EXISTS follows_by_followee ON follows (followee_id);
CREATE INDEX IF NOT EXISTS posts_by_time ON posts (created_at, id);
CREATE INDEX IF NOT EXISTS users_by_name_key ON users (name_key);
)sql";
}

void Schema::create(Database &db)
{
    db.exec(Tables);
    // A file made before names had keys gains the column; UserStore::fillNameKeys fills it.
    Statement hasKey(db, "SELECT 1 FROM pragma_table_info('users') WHERE name = 'name_key'");
    if (!hasKey.next())
        db.exec("ALTER TABLE users ADD COLUMN name_key TEXT");
    db.exec(Indexes);
}
