#pragma once
// The visible top-level windows of this process, in the system's z order (the top one first): what a host
// stand-in finds of the plug-in's windows and dialogs. Windows only.
#include <windows.h>

#include <vector>

std::vector<HWND> VisibleWindowsOfThisProcess();
