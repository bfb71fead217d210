#include "platform/NativeInstanceMailbox.h"

struct InstanceMailbox::Server { };

InstanceMailbox::InstanceMailbox(const std::u16string &, std::function<void(const std::string &)>)
{
}

InstanceMailbox::~InstanceMailbox() = default;

bool InstanceMailbox::isOpen() const
{
    return false;
}

bool InstanceMailbox::Send(const std::u16string &, const std::string &)
{
    return false;
}
