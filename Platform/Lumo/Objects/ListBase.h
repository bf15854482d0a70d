#pragma once

namespace Lumo::Objects {

/// Common base of the graphics system's lists: the element count.
class _ListBase {
public:
    int Count() const { return m_count; }
    bool IsEmpty() const { return m_count == 0; }

protected:
    _ListBase() = default;
    int m_count = 0;
};

} // namespace Lumo::Objects
