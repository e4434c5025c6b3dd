// Arrays the size of the grid (vertices, the triangle list, working copies
// of the heights) are asked for in transparent huge pages. The first touch
// of fresh memory then costs one page fault per 2 MB instead of one per
// 4 KB; at 4097 x 4097 on a virtual machine those faults were most of the
// time a whole-grid command took. Where the system offers no huge pages the
// advice is ignored.
#pragma once

#include <cstddef>
#include <vector>

// Advises huge pages for the whole 2 MB pages inside [data, data + bytes)
// (nothing for blocks under 4 MB, which the allocator recycles anyway).
void adviseHugePages(void* data, size_t bytes);

// Resizes an empty `array` to `count` elements equal to `value`, the memory
// advised before it is first touched.
template <class T> void resizeLarge(std::vector<T>& array, size_t count, const T& value = T())
{
    array.reserve(count);
    adviseHugePages(array.data(), count * sizeof(T));
    array.resize(count, value);
}
