#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

// Keys that reach the program whatever window has the focus: a key grab on the X server, a hot
// key of Windows, or the desktop portal's global shortcuts under Wayland. Standard library only,
// so that the Windows file builds alone.
namespace NativeGlobalKeys {

// One key to take: modifiers as bits (Ctrl 1, Alt 2, Shift 4, Meta 8) and Qt's key code.
struct Key {
    int id = 0;
    unsigned modifiers = 0;
    int key = 0;
    std::string text; // as the palette writes it, "Ctrl+Alt+1"
    std::string description; // what it does, UTF-8, for a desktop that lists a program's keys
};

enum class Outcome {
    Taken,
    InUse, // another program holds it
    NoSuchKey, // the keyboard has no such key
    Refused, // the desktop asked the user, who did not give it
    Unavailable, // this desktop gives the program no global keys
};

struct Result {
    int id = 0;
    Outcome outcome = Outcome::Unavailable;
};

struct Listener {
    std::function<void(int id)> pressed;
    // How the last take() went, one result per key, in its order.
    std::function<void(const std::vector<Result> &)> taken;
};

class Grabber {
public:
    virtual ~Grabber() = default;
    // Takes exactly these keys, giving up those taken before that are not among them. The
    // results come through the listener, at once or, where the desktop asks the user, later.
    // Every key is given up when the grabber goes, and by the system when the program ends.
    virtual void take(const std::vector<Key> &keys) = 0;
};

// The global keys of the desktop the program runs on.
std::unique_ptr<Grabber> Make(Listener listener);
// Keys of a desktop that gives none (a window system without a desktop, such as offscreen):
// every key is Unavailable.
std::unique_ptr<Grabber> MakeUnavailable(Listener listener);

}
