#include <gtest/gtest.h>
#include "renderer/renderer.h"
