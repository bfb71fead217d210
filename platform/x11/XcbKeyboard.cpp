#include "platform/x11/XcbKeyboard.h"

#include "platform/x11/XcbSupport.h"

#include <Qt>

#include <algorithm>

namespace XcbKeyboard {

Mapping::Mapping(xcb_connection_t *connection)
{
    const xcb_setup_t *setup = xcb_get_setup(connection);
    m_first = setup->min_keycode;
    const int count = setup->max_keycode - setup->min_keycode + 1;
    const XcbReply<xcb_get_keyboard_mapping_reply_t> mapping(
        xcb_get_keyboard_mapping_reply(connection, xcb_get_keyboard_mapping(connection, m_first, uint8_t(count)), nullptr),
        &std::free);
    if (mapping) {
        m_perCode = mapping->keysyms_per_keycode;
        const xcb_keysym_t *symbols = xcb_get_keyboard_mapping_keysyms(mapping.get());
        m_symbols.assign(symbols, symbols + xcb_get_keyboard_mapping_keysyms_length(mapping.get()));
    }

    // Which of Mod1 to Mod5 Alt, Super and NumLock are, as the server's modifier mapping has them.
    const XcbReply<xcb_get_modifier_mapping_reply_t> modifiers(
        xcb_get_modifier_mapping_reply(connection, xcb_get_modifier_mapping(connection), nullptr), &std::free);
    if (!modifiers)
        return;
    const xcb_keycode_t *codes = xcb_get_modifier_mapping_keycodes(modifiers.get());
    const int perModifier = modifiers->keycodes_per_modifier;
    const auto gives = [this](xcb_keycode_t code, std::initializer_list<uint32_t> wanted) {
        const std::vector<uint32_t> any(wanted);
        for (uint32_t symbol : any) {
            const std::vector<xcb_keycode_t> found = keycodes(symbol);
            if (std::find(found.begin(), found.end(), code) != found.end())
                return true;
        }
        return false;
    };
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int i = 0; i < perModifier; ++i) {
            const xcb_keycode_t code = codes[modifier * perModifier + i];
            if (code == 0)
                continue;
            if (modifier != 1) // Lock is no key to lift
                m_modifierKeys.push_back(code);
            if (modifier < 3)
                continue;
            const auto mask = uint16_t(1u << modifier);
            if (gives(code, {Sym::AltL, Sym::AltR}))
                m_modifiers.alt = mask;
            else if (gives(code, {Sym::SuperL, Sym::SuperR, Sym::MetaL, Sym::MetaR}))
                m_modifiers.meta = mask;
            else if (gives(code, {Sym::NumLock}))
                m_modifiers.numLock = mask;
        }
    }
}

std::vector<xcb_keycode_t> Mapping::keycodes(uint32_t keysym) const
{
    std::vector<xcb_keycode_t> found;
    if (m_perCode <= 0)
        return found;
    for (size_t i = 0; i < m_symbols.size(); ++i) {
        const auto code = xcb_keycode_t(m_first + i / size_t(m_perCode));
        if (m_symbols[i] == keysym && (found.empty() || found.back() != code))
            found.push_back(code);
    }
    return found;
}

uint32_t KeysymOfQtKey(int key)
{
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return uint32_t(key - Qt::Key_A + 'a');
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return uint32_t(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return 0xffbe + uint32_t(key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Insert: return 0xff63;
    case Qt::Key_Delete: return 0xffff;
    case Qt::Key_Home: return 0xff50;
    case Qt::Key_End: return 0xff57;
    case Qt::Key_PageUp: return 0xff55;
    case Qt::Key_PageDown: return 0xff56;
    case Qt::Key_Left: return 0xff51;
    case Qt::Key_Up: return 0xff52;
    case Qt::Key_Right: return 0xff53;
    case Qt::Key_Down: return 0xff54;
    case Qt::Key_Space: return 0x20;
    case Qt::Key_Tab: return 0xff09;
    case Qt::Key_Return: return 0xff0d;
    case Qt::Key_Enter: return 0xff8d;
    case Qt::Key_Escape: return 0xff1b;
    case Qt::Key_Backspace: return 0xff08;
    case Qt::Key_Pause: return 0xff13;
    case Qt::Key_Print: return 0xff61;
    case Qt::Key_ScrollLock: return 0xff14;
    default: return 0;
    }
}

}
