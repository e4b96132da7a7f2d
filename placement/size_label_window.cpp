#include "placement/size_label_window.h"

#include <string>

#include "placement/size_label.h"

void ShowSizeLabel(HWND label, int size, unsigned dpi) {
    if (!label) return;
    const std::string text = SizeLabelText(size, dpi);
    SetWindowTextW(label, std::wstring(text.begin(), text.end()).c_str()); // ASCII only
}
