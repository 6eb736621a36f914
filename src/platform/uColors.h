#pragma once
#include <QColor>
#include <cstdint>

// Colours in the form's tables are written $BBGGRR (blue in the high byte).
inline QColor ColorFromBGR(std::uint32_t bgr) {
  return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

// The editors' faces: while the focus is in them, otherwise, and while they are disabled.
constexpr std::uint32_t kEditorFocusBGR = 0x00F0CAA6;
constexpr std::uint32_t kEditorNormalBGR = 0x00FFFFFF;
constexpr std::uint32_t kEditorDisabledBGR = 0x00C0C0C0;

inline std::uint32_t ColorToBGR(const QColor& c) {
  return std::uint32_t(c.red()) | (std::uint32_t(c.green()) << 8) | (std::uint32_t(c.blue()) << 16);
}
