#include "afx/Object.h"

const CRuntimeClass CObject::classCObject = {"CObject"};

CRuntimeClass* CObject::GetRuntimeClass() const
{
    return RUNTIME_CLASS(CObject);
}
