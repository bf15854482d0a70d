#pragma once
#include <Lumo/Objects/ClassRegistry.h>
#include <Lumo/Objects/UString.h>

/// Wide literal of a token's text.
#define LUMO_WSTR_(s) L##s
#define LUMO_WSTR(s) LUMO_WSTR_(s)

/// Declares the identity trio of a graphics-system class: its interned name, and
/// interface lookup that answers for itself and defers to its base.
#define LUMO_DECLARE_CLASS()                                                                                           \
public:                                                                                                                \
    static ::Lumo::Objects::UString* StaticClassName();                                                                \
    ::Lumo::Objects::UString* ClassName() const override;                                                              \
    void* GetInterface(::Lumo::Objects::UString* name) override;

/// Defines what LUMO_DECLARE_CLASS declared; the name is interned once, on first use, and
/// recorded with its base's name in the class registry.
#define LUMO_DEFINE_CLASS(Class, Base)                                                                                 \
    ::Lumo::Objects::UString* Class::StaticClassName() {                                                               \
        static ::Lumo::Objects::UString* name = ::Lumo::Objects::ClassRegistry::Register(                              \
            ::Lumo::Objects::Intern(LUMO_WSTR(#Class)), Base::StaticClassName());                                      \
        return name;                                                                                                   \
    }                                                                                                                  \
    ::Lumo::Objects::UString* Class::ClassName() const {                                                               \
        return StaticClassName();                                                                                      \
    }                                                                                                                  \
    void* Class::GetInterface(::Lumo::Objects::UString* name) {                                                        \
        return name == StaticClassName() ? static_cast<void*>(this) : Base::GetInterface(name);                        \
    }
