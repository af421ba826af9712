#pragma once

#include <functional>
#include <utility>

// How a lower layer reaches a service that a higher layer provides, without
// including it: the higher layer installs a function that finds the service
// (for example the live main frame's part), and the lower layer asks it each
// time it needs the service. Everything runs on the user-interface thread.
template <class Service>
class CServiceProvider {
public:
    // The service now, or null when no provider is installed or it has none.
    static Service* Get()
    {
        const auto& provider = Provider();
        return provider ? provider() : nullptr;
    }
    // Installs the provider; an empty function removes it.
    static void Install(std::function<Service*()> provider) { Provider() = std::move(provider); }

private:
    static std::function<Service*()>& Provider()
    {
        static std::function<Service*()> provider;
        return provider;
    }
};
