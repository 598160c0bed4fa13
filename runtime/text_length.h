// The two scans behind TextLength. TextLength picks one on its first use; both are
// visible here so that each can be checked on any processor that can run it.
#pragma once

#include <cstdint>

// CPUID function 1, EDX bit 26.
bool ProcessorHasSse2();

// Both read only whole aligned blocks (16 and 4 bytes), so they never touch a page
// beyond the one holding the terminator. `text` must not be null.
int32_t TextLengthVector(const char* text);  // needs SSE2
int32_t TextLengthWords(const char* text);
