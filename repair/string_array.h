#pragma once

#include <string>
#include <vector>

// The string array of the system: one-dimensional, zero-based, growable. An
// array never given storage is simply empty.
using StringArray = std::vector<std::string>;
