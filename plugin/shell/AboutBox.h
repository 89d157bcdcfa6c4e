#pragma once

#include "PIDialog.h"

// The about box: closes on a click on its background, Escape, Enter, OK or Cancel.
class PIAboutBox : public PIDialog {
 public:
  void OnMessage(uint32_t message, WPARAM wParam, LPARAM lParam) override;
};

void ShowAboutBox(SPPluginRef plugin, int32_t templateIdentifier);
