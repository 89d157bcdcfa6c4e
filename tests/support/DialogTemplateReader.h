// Reads an extended dialog template (DLGTEMPLATEEX) from its resource bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct DialogItemTemplate {
  uint32_t style = 0;
  int16_t x = 0, y = 0, cx = 0, cy = 0;
  uint32_t id = 0;
  uint16_t classAtom = 0;  // 0x0080 button, 0x0082 static, ...; 0 when the class is named
  std::wstring className;
  std::wstring text;
};

struct DialogTemplate {
  uint32_t style = 0;
  uint32_t exStyle = 0;
  int16_t x = 0, y = 0, cx = 0, cy = 0;
  std::wstring caption;
  uint16_t pointSize = 0;
  uint16_t weight = 0;
  uint8_t italic = 0;
  uint8_t charset = 0;
  std::wstring typeface;
  std::vector<DialogItemTemplate> items;
};

// Throws std::runtime_error when the bytes are not a well-formed extended template.
DialogTemplate ReadDialogTemplate(const std::vector<uint8_t>& bytes);
