#include "BenchSupport.h"

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <system_error>

#include <QByteArray>
#include <QtGlobal>

#include "base/MessageBox.h"

namespace bench {

ScratchFolder::ScratchFolder() : m_previous(std::filesystem::current_path())
{
    std::string pattern = (std::filesystem::temp_directory_path() / "quorelle-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a scratch folder");
    m_path = pattern;
    std::filesystem::current_path(m_path);
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    std::filesystem::current_path(m_previous, ignored);
    std::filesystem::remove_all(m_path, ignored);
}

std::filesystem::path ScratchFolder::Write(const std::string& name, const std::string& bytes) const
{
    const std::filesystem::path file = m_path / name;
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        throw std::runtime_error("cannot write " + file.string());
    return file;
}

void RouteMessagesToStderr()
{
    SetMessageBoxHook([](const std::string& text) { std::cerr << "message: " << text << '\n'; });
}

void UseScratchSettingsAndOffscreen(const ScratchFolder& folder)
{
    const std::string config = (folder.Path() / "config").string();
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

}  // namespace bench
