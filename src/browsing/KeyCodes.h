#pragma once

#include <optional>

namespace kpw {

// Key codes the windows forward to their logic (the legacy virtual-key
// numbers and the characters of Enter, Escape and Ctrl+D). Digits and
// letters have their upper-case character as their code.
inline constexpr int KeyLeft = 37;
inline constexpr int KeyF1 = 112;
inline constexpr int KeyF5 = 116;
inline constexpr int KeyF6 = 117;
inline constexpr int KeyF9 = 120;
inline constexpr int KeyComma = 188;
inline constexpr int KeyC = 'C';
inline constexpr int KeyS = 'S';
inline constexpr char CharEnter = 13;
inline constexpr char CharEscape = 27;
inline constexpr char CharCtrlD = 4;

// The photo actions that have a key of their own.
enum class PhotoCommand { SavePhoto, SavePhotoAs, CopyAddress, Slideshow };

// The photo action of a key with its modifiers: Ctrl+S, Ctrl+Shift+S,
// Ctrl+Shift+C and F9; nothing for any other key.
constexpr std::optional<PhotoCommand> PhotoCommandOfKey(int keyCode, bool shift, bool ctrl,
                                                        bool alt) {
    if (alt) return std::nullopt;
    if (keyCode == KeyF9 && !shift && !ctrl) return PhotoCommand::Slideshow;
    if (!ctrl) return std::nullopt;
    if (keyCode == KeyS) return shift ? PhotoCommand::SavePhotoAs : PhotoCommand::SavePhoto;
    if (keyCode == KeyC && shift) return PhotoCommand::CopyAddress;
    return std::nullopt;
}

}  // namespace kpw
