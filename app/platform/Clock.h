#pragma once

#include <string>

namespace vantor::platform {

// Returns the current local time written with a strftime format ("%H:%M:%S").
std::string LocalTimeText(const char* format);

}  // namespace vantor::platform
