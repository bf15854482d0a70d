#pragma once
#include <Lumo/Objects/ClassMacros.h>
#include <Scene/Foundations/NetObjectCountImpl.h>

/// Identity plus live-object count of a counted scene class (which also derives from
/// NetObjectCountImpl<Class>).
#define LUMO_SCENE_CLASS(Class)                                                                                        \
    LUMO_DECLARE_CLASS()                                                                                               \
    static int NetObjectCount() {                                                                                      \
        return ::Lumo::Scene::NetObjectCountImpl<Class>::Count();                                                      \
    }                                                                                                                  \
    int CurObjectCount() const override {                                                                              \
        return NetObjectCount();                                                                                       \
    }
