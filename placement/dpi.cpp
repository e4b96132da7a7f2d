#include "placement/dpi.h"

#include "placement/size_model.h"

unsigned dpi = velmor::size::REFERENCE_DPI;
