#pragma once

// Where the keyboard's focus ring goes in a grid of `count` cells cut into
// pages of `columns` × `rows`, from cell `from` (-1: no ring yet) by one step
// (dx, dy). The first step shows the ring on the first cell of `page`, the page
// on screen. A step past the last column or row goes on to the next page (its
// first column or row), before the first to the previous one (its last); a
// step onto an empty place of the last page lands on the last cell; there is
// nothing past the first and the last page. -1 when there are no cells.
[[nodiscard]] int moveGridFocus(int from, int page, int dx, int dy, int count, int columns,
                                int rows);
