// Helpers shared by the layered window tests.
#pragma once

#include <windows.h>
#include <algorithm>
#include <gdiplus.h>
#include <cstdint>

// The test executable, which holds the test resources.
HINSTANCE TestModule();

// Dispatches the thread's pending messages.
void PumpMessages();

// How many GDI objects the process could still make. Wine reports no GDI object counts
// (GetGuiResources returns 0), so leaks are measured as lost capacity of the handle table.
size_t FreeGdiHandleSlots();

// BGRA of pixel (x, y) of an image, drawn 1:1 into a 32-bit ARGB bitmap.
Gdiplus::Color ImagePixel(Gdiplus::Image* pImage, int x, int y);

// BGRA bytes of pixel (x, y) of a bottom-up 32-bit DIB section of the given height.
uint32_t DibPixel(const void* pBits, int width, int height, int x, int y);
