#pragma once

#include <cstdarg>
#include <string>

// printf-style formatting in the C locale whatever the process locale is, into at most
// 1023 characters (the size of the status texts' buffer).
std::string FormatC(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string FormatCv(const char* format, va_list args);
