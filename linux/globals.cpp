#include "linux/globals.h"

GtkApplication* application = nullptr;
GtkWidget* clockWindow = nullptr;
bool visible = true;
std::string settingsPath;
GtkWidget* sizeWindow = nullptr;
GtkWidget* sizeSlider = nullptr;
GtkWidget* sizeLabel = nullptr;
