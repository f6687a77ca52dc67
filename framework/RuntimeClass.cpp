#include "framework/RuntimeClass.h"

#include <cstring>
#include <new>

namespace {

// Zero-initialised before any registration's constructor runs.
const CRuntimeClassRegistration* g_firstRegistration = nullptr;

}  // namespace

CObject* CRuntimeClass::CreateObject() const { return m_createObject ? m_createObject() : nullptr; }

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const {
    for (const CRuntimeClass* type = this; type; type = type->m_baseClass) {
        if (type == base) return true;
    }
    return false;
}

const CRuntimeClass* CRuntimeClass::FromName(const char* className) {
    if (!className) return nullptr;
    for (const CRuntimeClassRegistration* node = CRuntimeClassRegistration::First(); node; node = node->Next()) {
        if (std::strcmp(node->Record().m_className, className) == 0) return &node->Record();
    }
    return nullptr;
}

CRuntimeClassRegistration::CRuntimeClassRegistration(const CRuntimeClass& record)
    : m_record(record), m_next(g_firstRegistration) {
    g_firstRegistration = this;
}

const CRuntimeClassRegistration* CRuntimeClassRegistration::First() { return g_firstRegistration; }

const CRuntimeClass CObject::classCObject = {"CObject", static_cast<int>(sizeof(CObject)), CRuntimeClass::kNoSchema,
                                             nullptr, nullptr};
static const CRuntimeClassRegistration g_objectRegistration(CObject::classCObject);

const CRuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }

bool CObject::IsKindOf(const CRuntimeClass* type) const { return GetRuntimeClass()->IsDerivedFrom(type); }
