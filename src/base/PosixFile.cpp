#include "base/PosixFile.h"

#include <cerrno>
#include <climits>
#include <random>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/CText.h"

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept
{
    if (this != &other) {
        Close();
        m_fd = other.m_fd;
        other.m_fd = -1;
    }
    return *this;
}

bool FileDescriptor::Close()
{
    if (m_fd < 0)
        return true;
    const int fd = m_fd;
    m_fd = -1;
    // Not retried on EINTR: on Linux the descriptor is gone either way.
    return ::close(fd) == 0;
}

FileDescriptor OpenRegularFile(const std::string& path, std::size_t* size)
{
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!file.IsOpen())
        return file;
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode))
        file.Close();
    else if (size)
        *size = info.st_size > 0 ? static_cast<std::size_t>(info.st_size) : 0;
    return file;
}

bool ReadUpTo(int fd, char* buffer, std::size_t capacity, std::size_t& total)
{
    total = 0;
    while (total < capacity) {
        const ssize_t got = ::read(fd, buffer + total, capacity - total);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (got == 0)
            break;
        total += static_cast<std::size_t>(got);
    }
    return true;
}

bool WriteAll(int fd, const std::string& text)
{
    const char* data = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (written == 0)
            return false;
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

namespace {

// A file created next to the target that only becomes the target through
// Commit(); otherwise it is removed when the object goes.
class PendingFile {
public:
    explicit PendingFile(const std::string& folder)
    {
        std::random_device random;
        const std::string prefix = folder.empty() ? std::string() : folder + "/";
        for (int attempt = 0; attempt < 100 && !m_file.IsOpen(); ++attempt) {
            std::string path = prefix + FormatC(".quorelle-%ld-%u.tmp", static_cast<long>(::getpid()), random());
            m_file = FileDescriptor(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
            if (m_file.IsOpen())
                m_path = std::move(path);
            else if (errno != EEXIST)
                break;
        }
    }

    ~PendingFile()
    {
        m_file.Close();
        if (!m_path.empty())
            ::unlink(m_path.c_str());
    }

    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    bool IsOpen() const { return m_file.IsOpen(); }

    // Gives the file the permission bits of the one it is about to replace.
    void TakeModeOf(const std::string& target)
    {
        struct stat info {};
        if (::stat(target.c_str(), &info) == 0 && S_ISREG(info.st_mode))
            ::fchmod(m_file.Get(), info.st_mode & 07777);
    }

    bool Write(const std::string& text)
    {
        if (!WriteAll(m_file.Get(), text))
            return false;
        // On disk before the rename, so a crash cannot leave an empty file.
        return ::fsync(m_file.Get()) == 0 || errno == EINVAL;
    }

    bool Commit(const std::string& target)
    {
        if (!m_file.Close())
            return false;
        if (::rename(m_path.c_str(), target.c_str()) != 0)
            return false;
        m_path.clear();
        return true;
    }

private:
    FileDescriptor m_file;
    std::string m_path;
};

bool IsWriteProtected(const std::string& target)
{
    return ::access(target.c_str(), F_OK) == 0 && ::access(target.c_str(), W_OK) != 0 && errno == EACCES;
}

bool IsPlainFileName(const std::string& name)
{
    return name.find('/') == std::string::npos && name.find('\0') == std::string::npos;
}

// Follows a symbolic link (and a chain of them) to the path it stands for;
// a link's relative target is relative to the link's folder. Empty for a
// loop: renaming over the link would replace it.
std::string FollowLinks(std::string path)
{
    for (int hop = 0; hop < 40; ++hop) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return path;
        std::string target(PATH_MAX, '\0');
        const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
        if (length <= 0 || static_cast<std::size_t>(length) >= target.size())
            return {};
        target.resize(static_cast<std::size_t>(length));
        const std::size_t slash = path.rfind('/');
        if (target.front() == '/' || slash == std::string::npos)
            path = target;
        else
            path = path.substr(0, slash + 1) + target;
    }
    return {};
}

}  // namespace

bool WriteFileAtomically(const std::string& folder, const std::string& name, const std::string& text)
{
    if (!IsPlainFileName(name))
        return false;
    // Through a link to its target: the link stays, the file it names is
    // replaced, beside itself.
    const std::string target = FollowLinks(folder.empty() ? name : folder + "/" + name);
    if (target.empty() || IsWriteProtected(target))
        return false;
    const std::size_t slash = target.rfind('/');
    const std::string targetFolder =
        slash == std::string::npos ? std::string() : (slash == 0 ? std::string("/") : target.substr(0, slash));
    PendingFile file(targetFolder);
    if (!file.IsOpen())
        return false;
    file.TakeModeOf(target);
    return file.Write(text) && file.Commit(target);
}

FolderLock::FolderLock(const std::string& folder)
    : m_folder(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{
    if (!m_folder.IsOpen())
        return;
    int result;
    do
        result = ::flock(m_folder.Get(), LOCK_EX);
    while (result != 0 && errno == EINTR);
    m_locked = result == 0;
}
