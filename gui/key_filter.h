#pragma once
// Key handling added to a control from outside: its owner sees each key
// press first and may swallow it.
#include <QKeyEvent>
#include <cstdint>
#include <functional>
#include <optional>

class QWidget;

namespace pelmar::gui {

// `handler` sees every key press of `control` first; true swallows the key.
void OnKeyPress(QWidget& control, std::function<bool(const QKeyEvent&)> handler);

// Enter in `box` moves on as Tab would: the key is swallowed and a Tab key
// press is sent to the box instead, so the focus leaves it (and a check on
// leaving it runs).
void EnterAsTab(QWidget& box);

// The character code a key-press handler receives for `key`: the typed
// character, or the control code of a Ctrl+letter (3 copy, 22 paste, 24
// cut); nothing for keys that type nothing (arrows, Delete, Home, ...).
std::optional<int16_t> KeyAscii(const QKeyEvent& key);

}  // namespace pelmar::gui
