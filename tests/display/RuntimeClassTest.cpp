// Run-time class records: names, bases, kind tests, creation and lookup by
// name.
#include "framework/RuntimeClass.h"
#include "framework/Wnd.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class CShape : public CObject {
    DECLARE_DYNAMIC(CShape)
};
IMPLEMENT_DYNAMIC(CShape, CObject)

class CCircle : public CShape {
    DECLARE_DYNCREATE(CCircle)

public:
    CCircle() { ++constructed; }
    static inline int constructed = 0;
    double radius = 1.0;
};
IMPLEMENT_DYNCREATE(CCircle, CShape)

}  // namespace

TEST(RuntimeClass, RecordDescribesTheClass) {
    const CRuntimeClass* record = RUNTIME_CLASS(CCircle);
    EXPECT_STREQ(record->m_className, "CCircle");
    EXPECT_EQ(record->m_objectSize, static_cast<int>(sizeof(CCircle)));
    EXPECT_EQ(record->m_schema, 0xFFFFu);
    EXPECT_EQ(record->m_baseClass, RUNTIME_CLASS(CShape));
    EXPECT_EQ(RUNTIME_CLASS(CShape)->m_baseClass, RUNTIME_CLASS(CObject));
    EXPECT_EQ(RUNTIME_CLASS(CObject)->m_baseClass, nullptr);
}

TEST(RuntimeClass, ObjectsKnowTheirMostDerivedClass) {
    const CCircle circle;
    const CObject& object = circle;
    EXPECT_EQ(object.GetRuntimeClass(), RUNTIME_CLASS(CCircle));
    EXPECT_TRUE(object.IsKindOf(RUNTIME_CLASS(CCircle)));
    EXPECT_TRUE(object.IsKindOf(RUNTIME_CLASS(CShape)));
    EXPECT_TRUE(object.IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(object.IsKindOf(RUNTIME_CLASS(CWnd)));
    EXPECT_FALSE(CShape().IsKindOf(RUNTIME_CLASS(CCircle)));
}

TEST(RuntimeClass, OnlyDynCreateClassesCanBeCreated) {
    EXPECT_EQ(RUNTIME_CLASS(CShape)->CreateObject(), nullptr);
    EXPECT_EQ(RUNTIME_CLASS(CShape)->m_createObject, nullptr);
    const int before = CCircle::constructed;
    const std::unique_ptr<CObject> made(RUNTIME_CLASS(CCircle)->CreateObject());
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(CCircle::constructed, before + 1);
    EXPECT_EQ(made->GetRuntimeClass(), RUNTIME_CLASS(CCircle));
    EXPECT_EQ(static_cast<CCircle*>(made.get())->radius, 1.0);
}

TEST(RuntimeClass, RecordsAreFoundByExactName) {
    EXPECT_EQ(CRuntimeClass::FromName("CCircle"), RUNTIME_CLASS(CCircle));
    EXPECT_EQ(CRuntimeClass::FromName("CShape"), RUNTIME_CLASS(CShape));
    EXPECT_EQ(CRuntimeClass::FromName("CObject"), RUNTIME_CLASS(CObject));
    EXPECT_EQ(CRuntimeClass::FromName("CWnd"), RUNTIME_CLASS(CWnd));
    EXPECT_EQ(CRuntimeClass::FromName("ccircle"), nullptr);
    EXPECT_EQ(CRuntimeClass::FromName("CCirc"), nullptr);
    EXPECT_EQ(CRuntimeClass::FromName(nullptr), nullptr);
}
