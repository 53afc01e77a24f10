#pragma once

#include <string>
#include <vector>

// The string arrays the repair passes between its steps: one-dimensional,
// zero-based, growable; a new array is empty.
using StringArray = std::vector<std::string>;
