// CObject, CRuntimeClass and the DECLARE_/IMPLEMENT_DYNAMIC and _DYNCREATE
// macros: a record per class that names it, gives its size and its base
// class's record, and, for dynamically creatable classes, makes an object.
//
//   class CMyView : public CWnd { DECLARE_DYNCREATE(CMyView) ... };
//   IMPLEMENT_DYNCREATE(CMyView, CWnd)
//
//   obj->IsKindOf(RUNTIME_CLASS(CWnd));
//   CRuntimeClass::FromName("CMyView")->CreateObject();
//
// Records are constant data. Each IMPLEMENT_ macro also adds a small static
// registration node to a list, so records can be looked up by name; the
// nodes hold the links rather than the records, which keeps the records
// themselves read-only. The list head is zero-initialised before any
// constructor runs, so registration order between files does not matter.
//
// Note for static libraries: a record whose object file nothing else
// references is dropped by the linker and cannot be found by name.
//
// No <windows.h> here: window-free classes may carry records too.
#pragma once

#include <new>

class CObject;

struct CRuntimeClass {
    // The schema of a class that is never serialised.
    static constexpr unsigned int kNoSchema = 0xFFFF;

    const char* m_className;
    int m_objectSize;
    unsigned int m_schema;
    CObject* (*m_createObject)();      // null: not dynamically creatable
    const CRuntimeClass* m_baseClass;  // null only for CObject

    // A new object of the class, or null when the class is not dynamically
    // creatable or memory is short. The caller owns it.
    CObject* CreateObject() const;
    bool IsDerivedFrom(const CRuntimeClass* base) const;

    // The registered record of that exact name (case-sensitive), or null.
    static const CRuntimeClass* FromName(const char* className);
};

// One link of the list of registered records; made by the IMPLEMENT_ macros.
class CRuntimeClassRegistration {
public:
    explicit CRuntimeClassRegistration(const CRuntimeClass& record);
    CRuntimeClassRegistration(const CRuntimeClassRegistration&) = delete;
    CRuntimeClassRegistration& operator=(const CRuntimeClassRegistration&) = delete;

    static const CRuntimeClassRegistration* First();
    const CRuntimeClass& Record() const { return m_record; }
    const CRuntimeClassRegistration* Next() const { return m_next; }

private:
    const CRuntimeClass& m_record;
    const CRuntimeClassRegistration* m_next;
};

// The root of every class with a run-time class record.
class CObject {
public:
    static const CRuntimeClass classCObject;

    virtual ~CObject() = default;
    virtual const CRuntimeClass* GetRuntimeClass() const;
    bool IsKindOf(const CRuntimeClass* type) const;

protected:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
};

#define RUNTIME_CLASS(theClass) (&theClass::class##theClass)

#define DECLARE_DYNAMIC(theClass)                 \
public:                                           \
    static const ::CRuntimeClass class##theClass; \
    const ::CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(theClass) \
    DECLARE_DYNAMIC(theClass)       \
    static ::CObject* CreateObject();

#define WOBBLE_IMPLEMENT_RUNTIMECLASS(theClass, baseClass, createFunction)                             \
    const ::CRuntimeClass theClass::class##theClass = {#theClass, static_cast<int>(sizeof(theClass)),  \
                                                       ::CRuntimeClass::kNoSchema, createFunction,     \
                                                       RUNTIME_CLASS(baseClass)};                      \
    static const ::CRuntimeClassRegistration wobbleRegistration_##theClass(theClass::class##theClass); \
    const ::CRuntimeClass* theClass::GetRuntimeClass() const { return RUNTIME_CLASS(theClass); }

#define IMPLEMENT_DYNAMIC(theClass, baseClass) WOBBLE_IMPLEMENT_RUNTIMECLASS(theClass, baseClass, nullptr)

// The dynamic-creation entry point makes the object with plain allocation,
// through the default constructor; a shortage of memory gives null.
#define IMPLEMENT_DYNCREATE(theClass, baseClass)                                \
    ::CObject* theClass::CreateObject() { return new (std::nothrow) theClass; } \
    WOBBLE_IMPLEMENT_RUNTIMECLASS(theClass, baseClass, &theClass::CreateObject)
