#include <gtest/gtest.h>

#include "afx/MemoryException.h"
#include "afx/OleDispatchException.h"
#include "afx/OleException.h"

namespace {

class CShape : public CObject
{
    DECLARE_DYNAMIC(CShape)
};
IMPLEMENT_DYNAMIC(CShape, CObject)

class CSquare : public CShape
{
    DECLARE_DYNAMIC(CSquare)
};
IMPLEMENT_DYNAMIC(CSquare, CShape)

// No record of its own: answers with CSquare's.
class CTile : public CSquare
{
};

class CCircle : public CShape
{
    DECLARE_DYNAMIC(CCircle)
};
IMPLEMENT_DYNAMIC(CCircle, CShape)

TEST(RuntimeClass, RecordsNameTheClasses)
{
    EXPECT_STREQ("CSquare", RUNTIME_CLASS(CSquare)->m_lpszClassName);
    EXPECT_STREQ("CObject", RUNTIME_CLASS(CObject)->m_lpszClassName);
}

TEST(RuntimeClass, ObjectsAnswerWithTheRecordOfTheirNearestDeclaringClass)
{
    CSquare square;
    CCircle circle;
    CTile tile;
    const CObject& asObject = square;
    EXPECT_EQ(RUNTIME_CLASS(CSquare), asObject.GetRuntimeClass());
    EXPECT_EQ(RUNTIME_CLASS(CCircle), circle.GetRuntimeClass());
    EXPECT_EQ(RUNTIME_CLASS(CSquare), tile.GetRuntimeClass());
}

TEST(Exceptions, ClassNameOfALibraryException)
{
    CMemoryException memory;
    EXPECT_STREQ("CMemoryException", memory.GetRuntimeClass()->m_lpszClassName);
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
        EXPECT_NE(nullptr, dynamic_cast<CMemoryException*>(&e));
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

    try
    {
        throw COleDispatchException(L"The page refused the call", 12, 7);
        ADD_FAILURE() << "no exception";
    }
    catch (COleDispatchException& e)
    {
        EXPECT_EQ(7, e.m_wCode);
        EXPECT_EQ(12u, e.m_dwHelpContext);
        EXPECT_STREQ(e.m_strDescription, L"The page refused the call");
        EXPECT_STREQ(e.Describe(), L"The page refused the call");
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
