#pragma once

#include <functional>
#include <memory>
#include <string>

// A running palette's mailbox for later starts of the same program by the same user: a local
// socket at a path in the user's runtime folder, which other users cannot reach. Standard
// library only, so that the Windows file builds alone; there a later start reaches the window
// itself, and the mailbox never opens.
class InstanceMailbox {
public:
    // Listens at the path while it lives; received gets each message (one line, at most 4 KB).
    InstanceMailbox(const std::u16string &path, std::function<void(const std::string &)> received);
    ~InstanceMailbox();
    InstanceMailbox(const InstanceMailbox &) = delete;
    InstanceMailbox &operator=(const InstanceMailbox &) = delete;

    bool isOpen() const;
    // Hands the message to the palette listening at the path; false when none does.
    static bool Send(const std::u16string &path, const std::string &message);

    struct Server;

private:
    std::unique_ptr<Server> m_server;
};
