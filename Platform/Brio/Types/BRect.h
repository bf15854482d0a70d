#pragma once

namespace Brio {

/// Integer pixel rectangle; right and bottom are exclusive, so width = right - left.
/// A rectangle with no pixels (right <= left or bottom <= top) is empty.
class BRect {
public:
    BRect() = default;
    BRect(int left, int top, int right, int bottom);

    int left() const { return m_left; }
    void left(int value) { m_left = value; }
    int top() const { return m_top; }
    void top(int value) { m_top = value; }
    int right() const { return m_right; }
    void right(int value) { m_right = value; }
    int bottom() const { return m_bottom; }
    void bottom(int value) { m_bottom = value; }

    /// Zero for empty rectangles, never negative.
    int width() const;
    int height() const;
    bool isEmpty() const;
    bool contains(int x, int y) const;

    /// Overlap of the two; the default (all zero) rectangle when they do not overlap.
    BRect intersect(const BRect& other) const;
    /// Smallest rectangle holding both; empty operands are ignored.
    BRect unite(const BRect& other) const;

    bool operator==(const BRect&) const = default;

private:
    int m_left = 0;
    int m_top = 0;
    int m_right = 0;
    int m_bottom = 0;
};

} // namespace Brio
