#pragma once

namespace kpw {

// Key codes the windows forward to their logic (the legacy virtual-key
// numbers and the characters of Enter, Escape and Ctrl+D).
inline constexpr int KeyF1 = 112;
inline constexpr int KeyF5 = 116;
inline constexpr char CharEnter = 13;
inline constexpr char CharEscape = 27;
inline constexpr char CharCtrlD = 4;

}  // namespace kpw
