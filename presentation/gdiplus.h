// GDI+ as MinGW-w64 provides it: the C++ wrapper over the flat interface.
#pragma once

#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>
