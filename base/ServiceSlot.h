#pragma once

// A service that can be replaced while the program runs: the platform's own unless another one
// is installed. The window installs the real message boxes; tests install recording fakes.
template <typename Service>
class ServiceSlot {
public:
    // Not owned; nullptr goes back to the platform's service.
    static void Install(Service *service) { installed() = service; }
    static Service *Installed() { return installed(); }
    static Service &Current(Service &platformService)
    {
        Service *service = installed();
        return service ? *service : platformService;
    }

private:
    static Service *&installed()
    {
        static Service *service = nullptr;
        return service;
    }
};
