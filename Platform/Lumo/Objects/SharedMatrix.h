#pragma once
#include <Lumo/Objects/ADevMatrix.h>

namespace Lumo::Objects {

/// The device matrix that owns its value.
class SharedMatrix : public ADevMatrix {
public:
    static SharedMatrix* Make(const mat4<float>& m = mat4<float>());

    LUMO_DECLARE_CLASS()

    const mat4<float>& Matrix() const override { return m_matrix; }
    bool IsIdentity() const override { return m_identity; }
    void Matrix(const mat4<float>& m);

protected:
    explicit SharedMatrix(const mat4<float>& m);

private:
    mat4<float> m_matrix;
    bool m_identity;
};

} // namespace Lumo::Objects
