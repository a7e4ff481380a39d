// Test support: the one stand-in for the window's focus, and whole-file reads and writes.
#pragma once

#include <SDL.h>

#include <string>

// Stand in for the window's focus (queryAppState): with and without the mouse over the window.
Uint8 focusedAppState();
Uint8 unfocusedAppState();

// The whole content of a file; a file given a fresh content.
std::string readWhole(const std::string& path);
void writeWhole(const std::string& path, const std::string& text);
