#include "afx/DC.h"

#include "afx/ThreadState.h"

IMPLEMENT_DYNAMIC(CDC, CObject)

CDC* CDC::FromHandle(HDC hDC)
{
    if (!hDC)
        return nullptr;
    AfxThreadState* pState = AfxGetThreadState();
    return pState->temporaryDCMap.FromHandle(hDC, pState->nLoopDepth);
}
