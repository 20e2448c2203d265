// Root of the class library's objects: run-time class information.
#pragma once

#include <type_traits>

#include "afx/RuntimeClass.h"

#define RUNTIME_CLASS(class_name) (const_cast<CRuntimeClass*>(&class_name::class##class_name))

class CObject
{
public:
    virtual ~CObject() = default;

    virtual CRuntimeClass* GetRuntimeClass() const;

    static const CRuntimeClass classCObject;

protected:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
};

#define DECLARE_DYNAMIC(class_name)               \
public:                                           \
    static const CRuntimeClass class##class_name; \
    CRuntimeClass* GetRuntimeClass() const override;

// base_class_name is checked to be a base of class_name.
#define IMPLEMENT_DYNAMIC(class_name, base_class_name)                               \
    static_assert(std::is_base_of<base_class_name, class_name>::value, #class_name); \
    const CRuntimeClass class_name::class##class_name = {#class_name};               \
    CRuntimeClass* class_name::GetRuntimeClass() const                               \
    {                                                                                \
        return RUNTIME_CLASS(class_name);                                            \
    }
