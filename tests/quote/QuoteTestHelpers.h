#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quote_tests {

// The bytes of a page written for these tests (tests/quote/pages/<name>).
std::string ReadQuotePage(const std::string& name);

// Sets (or, with a null value, removes) an environment variable for the object's life.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_previous;
};

// Removes every proxy variable for the object's life, so requests to the
// local test server go straight to it whatever the machine is configured with.
class NoProxyEnvironment {
public:
    NoProxyEnvironment();

private:
    std::vector<std::unique_ptr<ScopedEnv>> m_variables;
};

}  // namespace quote_tests
