// Wavefront OBJ export of the live grid: positions, normals as stored,
// texture coordinates spanning the terrain once, two triangles per cell.
#pragma once

#include <string>

bool exportObj(const std::string& path);
