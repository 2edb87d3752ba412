// The numbers the show knows its keys by, in demo_state::key_down and frame_input::keys.
// These are the classic virtual-key codes, so a state file's bookmark keys and the
// developer keys mean the same on every platform; platform/ maps SDL's keys onto them.
#pragma once

enum virtual_key : int {
    vk_backspace = 0x08,
    vk_tab = 0x09,
    vk_return = 0x0D,
    vk_shift = 0x10,
    vk_control = 0x11,
    vk_alt = 0x12,
    vk_pause = 0x13,
    vk_caps_lock = 0x14,
    vk_escape = 0x1B,
    vk_space = 0x20,
    vk_page_up = 0x21,
    vk_page_down = 0x22,
    vk_end = 0x23,
    vk_home = 0x24,
    vk_left = 0x25,
    vk_up = 0x26,
    vk_right = 0x27,
    vk_down = 0x28,
    vk_insert = 0x2D,
    vk_delete = 0x2E,
    vk_0 = 0x30,  // '0'..'9' follow
    vk_9 = 0x39,
    vk_a = 0x41,  // 'A'..'Z' follow
    vk_q = 0x51,
    vk_z = 0x5A,
    vk_numpad_0 = 0x60,  // numpad 0..9 follow
    vk_numpad_1 = 0x61,
    vk_f1 = 0x70,  // F1..F12 follow
};
