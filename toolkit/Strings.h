#pragma once
#include <string>
#include <vector>

// An ordered list of strings, owned by whoever made it.
using TStringList = std::vector<std::string>;
