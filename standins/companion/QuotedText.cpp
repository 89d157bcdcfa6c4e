#include "QuotedText.h"

#include "Utf8.h"

#include <cstdio>

namespace zk {

namespace {

bool IsSurrogate(unsigned unit) { return unit >= 0xD800 && unit <= 0xDFFF; }

void AppendEscapedUnit(std::string& out, unsigned unit) {
  char hex[8];
  std::snprintf(hex, sizeof hex, "\\u%04X", unit);
  out += hex;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string QuoteText(std::wstring_view text) {
  std::string out = "\"";
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned unit = static_cast<char16_t>(text[i]);
    switch (unit) {
      case '"': out += "\\\""; continue;
      case '\\': out += "\\\\"; continue;
      case '\n': out += "\\n"; continue;
      case '\r': out += "\\r"; continue;
      case '\t': out += "\\t"; continue;
      default: break;
    }
    if (unit < 0x20 || unit == 0x7F) {
      AppendEscapedUnit(out, unit);
    } else if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() &&
               static_cast<char16_t>(text[i + 1]) >= 0xDC00 && static_cast<char16_t>(text[i + 1]) <= 0xDFFF) {
      out += EncodeUtf8(text.substr(i, 2));
      ++i;
    } else if (IsSurrogate(unit)) {
      AppendEscapedUnit(out, unit);
    } else {
      AppendUtf8(out, unit);
    }
  }
  out += '"';
  return out;
}

bool ReadQuotedText(std::string_view line, size_t& pos, std::wstring& text, std::string& error) {
  text.clear();
  if (pos >= line.size() || line[pos] != '"') {
    error = "expected a text in double quotes";
    return false;
  }
  ++pos;
  std::string plain;  // raw UTF-8 since the last escape, decoded as a whole
  auto flushPlain = [&]() {
    std::wstring decoded;
    if (!DecodeUtf8(plain, decoded)) {
      error = "the text is not valid UTF-8";
      return false;
    }
    text += decoded;
    plain.clear();
    return true;
  };
  while (pos < line.size()) {
    const char c = line[pos++];
    if (c == '"') return flushPlain();
    if (c != '\\') {
      plain += c;
      continue;
    }
    if (!flushPlain()) return false;
    if (pos >= line.size()) break;
    const char escape = line[pos++];
    switch (escape) {
      case '"': text += L'"'; break;
      case '\\': text += L'\\'; break;
      case 'n': text += L'\n'; break;
      case 'r': text += L'\r'; break;
      case 't': text += L'\t'; break;
      case 'u': {
        unsigned unit = 0;
        for (int k = 0; k < 4; ++k) {
          const int digit = pos < line.size() ? HexValue(line[pos]) : -1;
          if (digit < 0) {
            error = "\\u needs exactly four hexadecimal digits";
            return false;
          }
          unit = unit * 16 + static_cast<unsigned>(digit);
          ++pos;
        }
        text += static_cast<wchar_t>(unit);
        break;
      }
      default:
        error = std::string("unknown escape \\") + escape + " (known: \\\" \\\\ \\n \\r \\t \\uXXXX)";
        return false;
    }
  }
  error = "the text has no closing double quote";
  return false;
}

}  // namespace zk
