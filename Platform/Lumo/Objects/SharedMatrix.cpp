#include <Lumo/Objects/ClassMacros.h>
#include <Lumo/Objects/SharedMatrix.h>

namespace Lumo::Objects {

LUMO_DEFINE_CLASS(ADevMatrix, ARefCounted)
LUMO_DEFINE_CLASS(SharedMatrix, ADevMatrix)

SharedMatrix::SharedMatrix(const mat4<float>& m) : m_matrix(m), m_identity(m.IsIdentity()) {}

SharedMatrix* SharedMatrix::Make(const mat4<float>& m) {
    return new SharedMatrix(m);
}

void SharedMatrix::Matrix(const mat4<float>& m) {
    m_matrix = m;
    m_identity = m.IsIdentity();
}

} // namespace Lumo::Objects
