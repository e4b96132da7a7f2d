#include "settings/settings.h"

Settings cfg = DEFAULT_SETTINGS;
