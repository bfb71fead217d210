#include "platform/NativeGlobalKeys.h"

namespace NativeGlobalKeys {

namespace {

class UnavailableGrabber : public Grabber {
public:
    explicit UnavailableGrabber(Listener listener) : m_listener(std::move(listener)) { }

    void take(const std::vector<Key> &keys) override
    {
        std::vector<Result> results;
        results.reserve(keys.size());
        for (const Key &key : keys)
            results.push_back({key.id, Outcome::Unavailable});
        if (m_listener.taken)
            m_listener.taken(results);
    }

private:
    Listener m_listener;
};

}

std::unique_ptr<Grabber> MakeUnavailable(Listener listener)
{
    return std::make_unique<UnavailableGrabber>(std::move(listener));
}

}
