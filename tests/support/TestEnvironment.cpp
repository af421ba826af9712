#include "support/TestEnvironment.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <random>
#include <stdexcept>
#include <utility>

#include "base/MessageBox.h"
#include "quote/QuoteService.h"

namespace fs = std::filesystem;

namespace testing_support {

namespace {
fs::path MakeUniqueDir(const fs::path& base, const std::string& prefix)
{
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = base / (prefix + std::to_string(rd()));
        std::error_code ec;
        if (fs::create_directory(candidate, ec))
            return candidate;
    }
    throw std::runtime_error("cannot create a temporary folder");
}

fs::path& ProcessDir()
{
    static fs::path dir;
    return dir;
}

// A loopback TCP port bound for the process's life and never listened on:
// the kernel refuses every connection to it, and no other socket (a test's
// server, a client's own port) can take it meanwhile.
class RefusingPort {
public:
    RefusingPort()
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (m_fd < 0)
            throw std::runtime_error("socket failed");
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        if (::bind(m_fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
            ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
            ::close(m_fd);
            throw std::runtime_error("cannot bind a loopback port");
        }
        m_base = "http://127.0.0.1:" + std::to_string(ntohs(addr.sin_port));
    }
    ~RefusingPort() { ::close(m_fd); }
    RefusingPort(const RefusingPort&) = delete;
    RefusingPort& operator=(const RefusingPort&) = delete;
    const std::string& base() const { return m_base; }

private:
    int m_fd = -1;
    std::string m_base;
};
}  // namespace

const std::string& RefusingQuoteBase()
{
    static const RefusingPort port;
    return port.base();
}

TempDir::TempDir() : m_path(MakeUniqueDir(fs::temp_directory_path(), "quorelle-test-")) {}

TempDir::~TempDir()
{
    std::error_code ec;
    fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(m_path, ec);
}

fs::path TempDir::write(const std::string& name, const std::string& bytes) const
{
    fs::path file = m_path / name;
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file;
}

ScopedCurrentDir::ScopedCurrentDir(const fs::path& dir) : m_previous(fs::current_path())
{
    fs::current_path(dir);
}

ScopedCurrentDir::~ScopedCurrentDir()
{
    std::error_code ec;
    fs::current_path(m_previous, ec);
}

MessageRecorder::MessageRecorder() : MessageRecorder(nullptr) {}

MessageRecorder::MessageRecorder(std::function<void(const std::string&)> reaction)
    : m_reaction(std::move(reaction))
{
    SetMessageBoxHook([this](const std::string& text) {
        m_messages.push_back(text);
        if (m_reaction)
            m_reaction(text);
    });
}

MessageRecorder::~MessageRecorder()
{
    SetMessageBoxHook(nullptr);
}

ScopedLocale::ScopedLocale(const char* name)
{
    const char* current = std::setlocale(LC_ALL, nullptr);
    m_previous = current ? current : "C";
    m_ok = std::setlocale(LC_ALL, name) != nullptr;
}

ScopedLocale::~ScopedLocale()
{
    std::setlocale(LC_ALL, m_previous.c_str());
}

ScopedTimeZone::ScopedTimeZone(const char* tz)
{
    if (const char* old = std::getenv("TZ")) {
        m_had = true;
        m_previous = old;
    }
    setenv("TZ", tz, 1);
    tzset();
}

ScopedTimeZone::~ScopedTimeZone()
{
    if (m_had)
        setenv("TZ", m_previous.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

ScopedEnvironment::ScopedEnvironment(const char* name, const std::string& value) : m_name(name)
{
    if (const char* old = std::getenv(name)) {
        m_had = true;
        m_previous = old;
    }
    setenv(name, value.c_str(), 1);
}

ScopedEnvironment::~ScopedEnvironment()
{
    if (m_had)
        setenv(m_name.c_str(), m_previous.c_str(), 1);
    else
        unsetenv(m_name.c_str());
}

void IsolateTestProcess()
{
    fs::path dir = MakeUniqueDir(fs::temp_directory_path(), "quorelle-run-");
    fs::create_directories(dir / "home");
    fs::create_directories(dir / "config");
    fs::create_directories(dir / "work");
    fs::create_directories(dir / "data");
    fs::create_directories(dir / "data-dirs");
    setenv("HOME", (dir / "home").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    // Lists installed on the machine (/usr/share/quorelle/lists) must not be found.
    setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
    setenv("XDG_DATA_DIRS", (dir / "data-dirs").c_str(), 1);
    // Tests run on a fixed zone unless they set another one themselves;
    // CTest runs the zone-dependent suites again under other zones through
    // QUORELLE_TEST_TZ, so a clock that only works in New York shows.
    const char* zone = std::getenv("QUORELLE_TEST_TZ");
    setenv("TZ", zone && *zone ? zone : "America/New_York", 1);
    tzset();
    fs::current_path(dir / "work");
    ProcessDir() = dir;
    setenv(kQuoteBaseVariable, RefusingQuoteBase().c_str(), 1);
    // Messages nobody expected go to stderr instead of a modal box.
    SetMessageBoxPresenter([](const std::string& text) {
        std::fprintf(stderr, "[unexpected message box] %s\n", text.c_str());
    });
}

const fs::path& TestProcessDir()
{
    return ProcessDir();
}

}  // namespace testing_support
