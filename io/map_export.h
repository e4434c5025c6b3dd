// Quake .map export: every grid cell becomes two prism brushes, one per
// triangle, from the surface down to a floor at z = -400. The two dialects
// differ only in the end of each plane line.
#pragma once

#include <string>

bool exportQ1Map(const std::string& path);
bool exportQ3Map(const std::string& path);
