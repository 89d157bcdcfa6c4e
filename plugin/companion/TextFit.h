// Static texts that fit. A dialog template sizes its controls in units of the template's font, but
// a control may be given another font at run time, and the fonts a system has (or its large-font
// settings) decide how much room a text then needs: the last line of a text can fall outside its
// control. The template stays as it is; only the sizes on screen grow.
#pragma once

#include <windows.h>

// Grows the static text control controlId and its dialog by as much, until the control's text fits
// the control; never shrinks either. The dialog grows downwards and to both sides alike, and is
// kept inside the work area of its monitor.
void GrowToFitText(HWND dialog, int controlId);
