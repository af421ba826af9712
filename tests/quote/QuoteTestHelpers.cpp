#include "QuoteTestHelpers.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace quote_tests {

std::string ReadQuotePage(const std::string& name)
{
    const std::string path = std::string(QUORELLE_QUOTE_PAGES_DIR) + "/" + name;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("missing test page " + path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

ScopedEnv::ScopedEnv(const char* name, const char* value) : m_name(name)
{
    if (const char* old = std::getenv(name))
        m_previous = old;
    if (value)
        setenv(name, value, 1);
    else
        unsetenv(name);
}

ScopedEnv::~ScopedEnv()
{
    if (m_previous)
        setenv(m_name.c_str(), m_previous->c_str(), 1);
    else
        unsetenv(m_name.c_str());
}

NoProxyEnvironment::NoProxyEnvironment()
{
    for (const char* name : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY",
                             "no_proxy", "NO_PROXY"})
        m_variables.push_back(std::make_unique<ScopedEnv>(name, nullptr));
}

}  // namespace quote_tests
