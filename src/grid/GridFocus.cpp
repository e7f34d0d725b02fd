#include "GridFocus.h"

#include <algorithm>

int moveGridFocus(int from, int page, int dx, int dy, int count, int columns, int rows) {
    const int pageSize = columns * rows;
    if (count <= 0 || pageSize <= 0)
        return -1;
    const int lastPage = (count - 1) / pageSize;
    if (from < 0 || from >= count)
        return std::clamp(page, 0, lastPage) * pageSize;
    int onPage = from / pageSize;
    int row = from % pageSize / columns + dy;
    int column = from % columns + dx;
    if (column < 0 || column >= columns) {
        onPage += column < 0 ? -1 : 1;
        column = column < 0 ? columns - 1 : 0;
    }
    if (row < 0 || row >= rows) {
        onPage += row < 0 ? -1 : 1;
        row = row < 0 ? rows - 1 : 0;
    }
    if (onPage < 0 || onPage > lastPage)
        return from;
    return std::min(onPage * pageSize + row * columns + column, count - 1);
}
