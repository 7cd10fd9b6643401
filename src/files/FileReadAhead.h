#pragma once

#include <QtGlobal>

#include <functional>
#include <memory>

// A file read ahead of its reader on the file pool's reading threads, a bounded amount at a time,
// so that a reader on the GUI thread only ever copies bytes that are in memory already and never
// waits on the disk: right after a large copy its pages are still being written back, and a read
// of them held the GUI thread for several frames.
class FileReadAhead
{
public:
    static constexpr qint64 pieceSize = 256 * 1024;
    // What is read ahead and not yet taken: memory stays bounded whatever the file's size.
    static constexpr qint64 capacity = 4 * pieceSize;

    // Takes `fd`, open for reading, and reads its first `size` bytes from the start. The descriptor
    // is closed on the file pool once this has gone and no read of it runs. `arrived` is called, on
    // a reading thread, when bytes (or the failure) that a read() found missing have come; never
    // once this has gone.
    FileReadAhead(int fd, qint64 size, std::function<void()> arrived);
    ~FileReadAhead();
    FileReadAhead(const FileReadAhead &) = delete;
    FileReadAhead &operator=(const FileReadAhead &) = delete;

    qint64 size() const { return m_size; }
    // Copies up to `maxSize` of the file's bytes from `position` on into `data`: as many as have
    // been read ahead, 0 when none have yet (arrived() then tells when they have), -1 when the file
    // cannot give them (it shrank or failed). A position other than where the last read ended
    // drops what was read ahead and starts again from there.
    qint64 read(qint64 position, char *data, qint64 maxSize);

private:
    struct State;
    static void fetch(const std::shared_ptr<State> &state);

    std::shared_ptr<State> m_state;
    qint64 m_size;
};
