#include "FileReadAhead.h"

#include "FilePool.h"

#include <QByteArray>
#include <QMutex>
#include <QMutexLocker>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <unistd.h>

struct FileReadAhead::State
{
    State(int descriptor, qint64 length, std::function<void()> callback)
        : fd(descriptor), size(length), arrived(std::move(callback))
    {
    }
    // The last close of a removed copy frees its blocks: never on the GUI thread.
    ~State() { FilePool::close(fd); }

    bool wantsMore() const { return !failed && start + buffered < size && buffered <= capacity - pieceSize; }

    void restartAt(qint64 position)
    {
        pieces.clear();
        skip = 0;
        start = position;
        buffered = 0;
        failed = false;
        ++generation;
    }

    void drop(qint64 count)
    {
        start += count;
        buffered -= count;
        skip += count;
        while (!pieces.empty() && skip >= pieces.front().size()) {
            skip -= pieces.front().size();
            pieces.pop_front();
        }
    }

    const int fd;
    const qint64 size;
    QMutex mutex;
    // Cleared once the reader has gone.
    std::function<void()> arrived;
    // The file's bytes from `start` on, as far as they have been read: `buffered` bytes, of which
    // the first piece's first `skip` are already taken.
    std::deque<QByteArray> pieces;
    qint64 skip = 0;
    qint64 start = 0;
    qint64 buffered = 0;
    // Counts the restarts: a piece read for an earlier position is dropped.
    quint64 generation = 0;
    bool fetching = false;
    bool starved = false;
    bool failed = false;
};

namespace {

qint64 readAt(int fd, char *data, qint64 size, qint64 position)
{
    qint64 done = 0;
    while (done < size) {
        const ssize_t read = ::pread(fd, data + done, size_t(size - done), off_t(position + done));
        if (read < 0 && errno == EINTR)
            continue;
        if (read <= 0)
            break;
        done += read;
    }
    return done;
}

} // namespace

FileReadAhead::FileReadAhead(int fd, qint64 size, std::function<void()> arrived)
    : m_state(std::make_shared<State>(fd, size, std::move(arrived))), m_size(size)
{
    if (size > 0) {
        m_state->fetching = true;
        FilePool::start([state = m_state] { fetch(state); }, FilePool::Reading);
    }
}

FileReadAhead::~FileReadAhead()
{
    const QMutexLocker lock(&m_state->mutex);
    m_state->arrived = nullptr;
}

qint64 FileReadAhead::read(qint64 position, char *data, qint64 maxSize)
{
    State &state = *m_state;
    if (position < 0 || position >= m_size || maxSize <= 0)
        return 0;
    qint64 done = 0;
    bool fetch = false;
    {
        const QMutexLocker lock(&state.mutex);
        if (position < state.start || position > state.start + state.buffered)
            state.restartAt(position);
        else
            state.drop(position - state.start);
        while (done < maxSize && !state.pieces.empty()) {
            const QByteArray &front = state.pieces.front();
            const qint64 count = std::min(maxSize - done, front.size() - state.skip);
            std::memcpy(data + done, front.constData() + state.skip, size_t(count));
            done += count;
            state.drop(count);
        }
        if (done == 0 && state.failed)
            return -1;
        state.starved = done == 0;
        fetch = !state.fetching && state.wantsMore();
        state.fetching = state.fetching || fetch;
    }
    // Outside the lock: once the pool has gone, the work runs at once, here.
    if (fetch)
        FilePool::start([state = m_state] { FileReadAhead::fetch(state); }, FilePool::Reading);
    return done;
}

void FileReadAhead::fetch(const std::shared_ptr<State> &shared)
{
    State &state = *shared;
    QMutexLocker lock(&state.mutex);
    while (state.arrived && state.wantsMore()) {
        const qint64 position = state.start + state.buffered;
        const quint64 generation = state.generation;
        const qint64 length = std::min(pieceSize, state.size - position);
        lock.unlock();
        QByteArray piece(length, Qt::Uninitialized);
        const qint64 read = readAt(state.fd, piece.data(), length, position);
        lock.relock();
        if (generation != state.generation)
            continue;
        // A file that shrank or failed under us cannot give the length already announced.
        state.failed = read < length;
        if (read > 0) {
            piece.truncate(read);
            state.pieces.push_back(std::move(piece));
            state.buffered += read;
        }
        if (state.starved && state.arrived) {
            state.starved = false;
            state.arrived();
        }
    }
    state.fetching = false;
}
