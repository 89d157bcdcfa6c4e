#include "AboutBox.h"

namespace {
constexpr unsigned char kEscape = 27;
constexpr unsigned char kEnter = 13;
}

void PIAboutBox::OnMessage(uint32_t message, WPARAM wParam, LPARAM) {
  const auto character = static_cast<unsigned char>(wParam & 0xFF);
  const bool closingKey = message == WM_CHAR && (character == kEscape || character == kEnter);
  if (closingKey || message == WM_LBUTTONDOWN) EndDialog(DialogWindow(), 0);
}

void ShowAboutBox(SPPluginRef plugin, int32_t templateIdentifier) {
  PIAboutBox box;
  box.RunModal(plugin, templateIdentifier);  // a box that cannot be shown simply is not shown
}
