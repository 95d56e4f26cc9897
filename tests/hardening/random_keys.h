// Random key-downs for the soak runs: every character code and every special key,
// each with every combination of Shift, Ctrl and Alt, and a share of plain typing
// of the bytes that answers are made of. The keys that end the run at once
// (Ctrl+Break, Ctrl+Scroll Lock, Alt+F4) are left out: the soak ends with a close.
#pragma once
#include <random>
#include <vector>

#include "key_down.h"

class random_keys {
public:
    explicit random_keys(uint32_t seed) : random_(seed) {
        for (int bits = 0; bits < 8; ++bits) {
            key_modifiers held{(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0};
            for (int code = 0; code < 256; ++code) every_key_.push_back(character_press(static_cast<uint8_t>(code), held));
            for (int key = int(special_key::f1); key <= int(special_key::other); ++key) {
                key_press press = special_press(special_key(key), held);
                if (!ends_the_run(press)) every_key_.push_back(press);
            }
        }
        for (char c : std::string("0123456789-&HhOoBb\",  Yyacd\x08\x08\x08\x09"))
            typing_.push_back(character_press(static_cast<uint8_t>(c)));
        typing_.push_back(character_press(13));  // Enter, rarely next to the rest
    }

    key_press next() {
        if (std::uniform_int_distribution<int>(0, 9)(random_) < 6) return pick(every_key_);
        return pick(typing_);
    }

    static bool ends_the_run(const key_press& press) {
        if (press.is_character) return false;
        return press.special == special_key::break_key ||
               (press.special == special_key::scroll_lock && press.modifiers.ctrl) ||
               (press.special == special_key::f4 && press.modifiers.alt);
    }

private:
    key_press pick(const std::vector<key_press>& keys) {
        return keys[std::uniform_int_distribution<size_t>(0, keys.size() - 1)(random_)];
    }

    std::mt19937 random_;
    std::vector<key_press> every_key_;
    std::vector<key_press> typing_;
};
