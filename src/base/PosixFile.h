#pragma once

#include <cstddef>
#include <string>

// The one place that talks to POSIX file descriptors. Every loop here
// retries a call interrupted by a signal (EINTR), so a stop signal arriving
// during a read or write never cuts a file short.

// Owns one descriptor and closes it when it goes.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : m_fd(fd) {}
    ~FileDescriptor() { Close(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    FileDescriptor(FileDescriptor&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;

    int Get() const { return m_fd; }
    bool IsOpen() const { return m_fd >= 0; }
    // Closes now; false when close reported an error (data may not be written).
    bool Close();

private:
    int m_fd;
};

// Opens the path for reading when it is a regular file, else returns a
// closed descriptor. The open does not block, so a FIFO of that name cannot
// hang the caller; it is refused like any other non-regular file. `size`,
// when given, receives the file's size as the open found it.
FileDescriptor OpenRegularFile(const std::string& path, std::size_t* size = nullptr);

// Reads up to `capacity` bytes into `buffer`, stopping early only at the end
// of the file; `total` receives the count. False on a read error.
bool ReadUpTo(int fd, char* buffer, std::size_t capacity, std::size_t& total);

// Writes all of `text`; false on an error or when nothing more can be written.
bool WriteAll(int fd, const std::string& text);

// Replaces `folder/name` (just `name` when the folder is empty) with `text`
// atomically: the text goes to a new file beside it, is flushed to disk,
// takes the permission bits of the file it replaces, and is renamed over it.
// A crash or failure leaves the old file as it was and no temporary behind.
// A symbolic link is written through: its target (followed through chains
// of links) is replaced the same way, beside itself, and the link stays.
// Refused (false): a name holding '/' or NUL, a loop of links, and a target
// the user made read-only (which opening it for writing would have refused
// too).
bool WriteFileAtomically(const std::string& folder, const std::string& name, const std::string& text);

// An exclusive advisory lock (flock) on a folder for the object's life, so
// that processes reading, merging and replacing a file in it do so one at
// a time. Waits for the lock; locked() is false when the folder could not
// be opened or locked (the caller goes on unlocked, as before locks).
class FolderLock {
public:
    explicit FolderLock(const std::string& folder);
    bool locked() const { return m_locked; }

private:
    FileDescriptor m_folder;
    bool m_locked = false;
};
