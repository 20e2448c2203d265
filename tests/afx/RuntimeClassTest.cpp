#include <cstring>
#include <memory>

#include <gtest/gtest.h>

#include "afx/MemoryException.h"
#include "afx/OleDispatchException.h"
#include "afx/OleException.h"

namespace {

class CShape : public CObject
{
    DECLARE_DYNAMIC(CShape)
public:
    int m_nSides = 0;
};
IMPLEMENT_DYNAMIC(CShape, CObject)

class CSquare : public CShape
{
    DECLARE_DYNCREATE(CSquare)
public:
    CSquare() { m_nSides = 4; }
    double m_dSide = 1.5;
};
IMPLEMENT_DYNCREATE(CSquare, CShape)

// No record of its own: answers with CSquare's.
class CTile : public CSquare
{
};

class CCircle : public CShape
{
    DECLARE_DYNAMIC(CCircle)
};
IMPLEMENT_DYNAMIC(CCircle, CShape)

TEST(RuntimeClass, RecordsDescribeTheClasses)
{
    const CRuntimeClass* square = RUNTIME_CLASS(CSquare);
    EXPECT_STREQ("CSquare", square->m_lpszClassName);
    EXPECT_EQ(int(sizeof(CSquare)), square->m_nObjectSize);
    EXPECT_EQ(0xFFFFu, square->m_wSchema);
    EXPECT_EQ(RUNTIME_CLASS(CShape), square->m_pBaseClass);
    EXPECT_EQ(RUNTIME_CLASS(CObject), RUNTIME_CLASS(CShape)->m_pBaseClass);
    EXPECT_EQ(nullptr, RUNTIME_CLASS(CObject)->m_pBaseClass);
    EXPECT_STREQ("CObject", RUNTIME_CLASS(CObject)->m_lpszClassName);
}

TEST(RuntimeClass, IsKindOfFollowsTheChain)
{
    CSquare square;
    CCircle circle;
    CTile tile;
    const CObject& asObject = square;

    EXPECT_EQ(RUNTIME_CLASS(CSquare), asObject.GetRuntimeClass());
    EXPECT_TRUE(square.IsKindOf(RUNTIME_CLASS(CSquare)));
    EXPECT_TRUE(square.IsKindOf(RUNTIME_CLASS(CShape)));
    EXPECT_TRUE(square.IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(square.IsKindOf(RUNTIME_CLASS(CCircle)));
    EXPECT_FALSE(circle.IsKindOf(RUNTIME_CLASS(CSquare)));
    EXPECT_TRUE(circle.IsKindOf(RUNTIME_CLASS(CShape)));

    CShape shape;
    EXPECT_FALSE(shape.IsKindOf(RUNTIME_CLASS(CSquare)));
    EXPECT_TRUE(shape.IsKindOf(RUNTIME_CLASS(CShape)));

    EXPECT_EQ(RUNTIME_CLASS(CSquare), tile.GetRuntimeClass());
    EXPECT_TRUE(tile.IsKindOf(RUNTIME_CLASS(CShape)));

    EXPECT_TRUE(RUNTIME_CLASS(CCircle)->IsDerivedFrom(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(RUNTIME_CLASS(CObject)->IsDerivedFrom(RUNTIME_CLASS(CCircle)));
    EXPECT_FALSE(RUNTIME_CLASS(CShape)->IsDerivedFrom(nullptr));
}

TEST(RuntimeClass, CreateObjectOnlyForDynCreateClasses)
{
    std::unique_ptr<CObject> made(RUNTIME_CLASS(CSquare)->CreateObject());
    ASSERT_NE(nullptr, made);
    EXPECT_EQ(RUNTIME_CLASS(CSquare), made->GetRuntimeClass());
    auto* square = dynamic_cast<CSquare*>(made.get());
    ASSERT_NE(nullptr, square);
    EXPECT_EQ(4, square->m_nSides);  // built by its constructor
    EXPECT_EQ(1.5, square->m_dSide);

    std::unique_ptr<CObject> other(RUNTIME_CLASS(CSquare)->CreateObject());
    EXPECT_NE(made.get(), other.get());

    EXPECT_EQ(nullptr, RUNTIME_CLASS(CShape)->CreateObject());
    EXPECT_EQ(nullptr, RUNTIME_CLASS(CCircle)->CreateObject());
    EXPECT_EQ(nullptr, RUNTIME_CLASS(CObject)->CreateObject());
}

TEST(Exceptions, ClassChainOfTheLibraryExceptions)
{
    CMemoryException memory;
    COleException ole(E_NOINTERFACE);
    COleDispatchException dispatch(L"bad call");
    EXPECT_STREQ("CMemoryException", memory.GetRuntimeClass()->m_lpszClassName);
    EXPECT_TRUE(memory.IsKindOf(RUNTIME_CLASS(CException)));
    EXPECT_TRUE(ole.IsKindOf(RUNTIME_CLASS(CException)));
    EXPECT_TRUE(dispatch.IsKindOf(RUNTIME_CLASS(CException)));
    EXPECT_TRUE(dispatch.IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(ole.IsKindOf(RUNTIME_CLASS(COleDispatchException)));
    EXPECT_FALSE(dispatch.IsKindOf(RUNTIME_CLASS(COleException)));
}

TEST(Exceptions, ThrownByValueCaughtAsBase)
{
    try
    {
        AfxThrowMemoryException();
        ADD_FAILURE() << "no exception";
    }
    catch (CException& e)
    {
        EXPECT_TRUE(e.IsKindOf(RUNTIME_CLASS(CMemoryException)));
        EXPECT_STREQ(e.Describe(), L"Out of memory.");
    }

    try
    {
        AfxThrowOleException(E_ACCESSDENIED);
        ADD_FAILURE() << "no exception";
    }
    catch (CException& e)
    {
        auto* ole = dynamic_cast<COleException*>(&e);
        ASSERT_NE(nullptr, ole);
        EXPECT_EQ(E_ACCESSDENIED, ole->m_sc);
        EXPECT_FALSE(e.Describe().IsEmpty());
    }
}

TEST(Exceptions, MessagesAndFallbacks)
{
    wchar_t text[64];
    CMemoryException memory;
    ASSERT_TRUE(memory.GetErrorMessage(text, 64));
    EXPECT_STREQ(L"Out of memory.", text);
    ASSERT_TRUE(memory.GetErrorMessage(text, 4));  // truncated, still terminated
    EXPECT_STREQ(L"Out", text);

    // Without a message the description is the class name.
    CException plain;
    EXPECT_FALSE(plain.GetErrorMessage(text, 64));
    EXPECT_STREQ(plain.Describe(), L"CException");
    COleDispatchException silent;
    EXPECT_STREQ(silent.Describe(), L"COleDispatchException");

    // A code the system has no text for is shown in hex.
    COleException odd(SCODE(0xA0BBC0DD));
    CString described = odd.Describe();
    EXPECT_GE(described.Find(L"A0BBC0DD"), 0) << static_cast<LPCWSTR>(described);

    // Copies keep their data (the exceptions are thrown and caught by value).
    COleDispatchException original(L"copied", 0, 3);
    COleDispatchException copy(original);
    EXPECT_STREQ(copy.m_strDescription, L"copied");
    EXPECT_EQ(3, copy.m_wCode);
}

}  // namespace
