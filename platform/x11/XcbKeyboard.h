#pragma once

// What the X11 files that take or send keys share: key codes of key symbols, and the modifier
// masks as this server's keyboard mapping has them.

#include <xcb/xcb.h>

#include <cstdint>
#include <vector>

namespace XcbKeyboard {

// X's key symbols of the keys the palette's keys are made of.
namespace Sym {
constexpr uint32_t ControlL = 0xffe3;
constexpr uint32_t ControlR = 0xffe4;
constexpr uint32_t ShiftL = 0xffe1;
constexpr uint32_t ShiftR = 0xffe2;
constexpr uint32_t AltL = 0xffe9;
constexpr uint32_t AltR = 0xffea;
constexpr uint32_t MetaL = 0xffe7;
constexpr uint32_t MetaR = 0xffe8;
constexpr uint32_t SuperL = 0xffeb;
constexpr uint32_t SuperR = 0xffec;
constexpr uint32_t NumLock = 0xff7f;
constexpr uint32_t V = 0x76;
}

struct Modifiers {
    uint16_t alt = XCB_MOD_MASK_1;
    uint16_t meta = XCB_MOD_MASK_4;
    uint16_t numLock = XCB_MOD_MASK_2;
};

// The server's keyboard mapping, read once.
class Mapping {
public:
    explicit Mapping(xcb_connection_t *connection);

    // Every key code that gives the symbol, at any level; empty when none does.
    std::vector<xcb_keycode_t> keycodes(uint32_t keysym) const;
    const Modifiers &modifiers() const { return m_modifiers; }
    // The key codes of every modifier key (Shift, Control, Alt, Super, ...), for lifting them.
    const std::vector<xcb_keycode_t> &modifierKeys() const { return m_modifierKeys; }

private:
    xcb_keycode_t m_first = 0;
    int m_perCode = 0;
    std::vector<uint32_t> m_symbols;
    Modifiers m_modifiers;
    std::vector<xcb_keycode_t> m_modifierKeys;
};

// The key symbol of Qt's key code (letters, digits, F1 to F24, the named keys); 0 for others.
uint32_t KeysymOfQtKey(int key);

}
