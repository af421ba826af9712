#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace testing_support {

// A fresh folder under the system's temporary folder, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return m_path; }
    std::string str() const { return m_path.string(); }
    // Writes bytes to a file below the folder and returns its path.
    std::filesystem::path write(const std::string& name, const std::string& bytes) const;

private:
    std::filesystem::path m_path;
};

// Makes the folder the process's current directory for the object's life.
class ScopedCurrentDir {
public:
    explicit ScopedCurrentDir(const std::filesystem::path& dir);
    ~ScopedCurrentDir();
    ScopedCurrentDir(const ScopedCurrentDir&) = delete;
    ScopedCurrentDir& operator=(const ScopedCurrentDir&) = delete;

private:
    std::filesystem::path m_previous;
};

// Records every message the system shows, instead of showing it, for the
// object's life. An optional reaction runs inside the message (as a modal
// box's message loop would let other code run).
class MessageRecorder {
public:
    MessageRecorder();
    explicit MessageRecorder(std::function<void(const std::string&)> reaction);
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;
    const std::vector<std::string>& messages() const { return m_messages; }
    void clear() { m_messages.clear(); }

private:
    std::vector<std::string> m_messages;
    std::function<void(const std::string&)> m_reaction;
};

// Sets LC_ALL (and the C library's locale) for the object's life; ok() tells
// whether the machine has that locale.
class ScopedLocale {
public:
    explicit ScopedLocale(const char* name);
    ~ScopedLocale();
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;
    bool ok() const { return m_ok; }

private:
    std::string m_previous;
    bool m_ok = false;
};

// Sets the TZ variable for the object's life (and calls tzset).
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* tz);
    ~ScopedTimeZone();
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    std::string m_previous;
    bool m_had = false;
};

// Sets an environment variable for the object's life.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::string& value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string m_name;
    std::string m_previous;
    bool m_had = false;
};

// Points HOME, XDG_CONFIG_HOME, the data folders (XDG_DATA_HOME, XDG_DATA_DIRS) and the current directory of the test process
// at a private temporary folder, so no test touches the user's settings or
// working directory, nor finds files installed on the machine, and every
// quote source at RefusingQuoteBase(). Called by both test mains before anything else.
void IsolateTestProcess();

// The folder of the per-process isolation (the initial current directory).
const std::filesystem::path& TestProcessDir();

// The base every quote source is asked at unless a test points it elsewhere
// ("http://127.0.0.1:<port>", set as QUORELLE_QUOTE_BASE by
// IsolateTestProcess, so programs the tests start inherit it): a loopback
// port this process keeps bound and never listens on, so a connection to it
// is refused at once. No test reaches past this machine or waits on a name
// lookup, whatever sources it turns on.
const std::string& RefusingQuoteBase();

}  // namespace testing_support
