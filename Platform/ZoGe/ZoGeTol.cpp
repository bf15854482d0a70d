#include <ZoGe/ZoGeTol.h>

namespace {

ZoGeTol& globalTol() {
    // Function-local so default arguments evaluated during static initialization see it ready.
    static ZoGeTol tol;
    return tol;
}

} // namespace

ZoGeTol::ZoGeTol(double equalPoint, double equalVector) : m_equalPoint(equalPoint), m_equalVector(equalVector) {}

const ZoGeTol& ZoGeTol::global() {
    return globalTol();
}

void ZoGeTol::setGlobal(const ZoGeTol& tol) {
    globalTol() = tol;
}
