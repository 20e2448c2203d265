// Event sink maps: a window that hosts ActiveX controls lists, per control id and DISPID, the
// member function that handles the control's event. The control site looks the event up in the
// map chain of the hosting window and calls the entry's thunk, which converts the DISPPARAMS
// (stored last argument first) into the handler's typed parameters.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <cstddef>
#include <tuple>
#include <type_traits>
#include <utility>

#include "afx/Vts.h"

class CCmdTarget;

struct AFX_EVENTSINKMAP_ENTRY
{
    UINT nCtlID;
    DISPID dispid;
    const BYTE* pbParams;
    void (*pfnThunk)(CCmdTarget*, DISPPARAMS*);
};

struct AFX_EVENTSINKMAP
{
    const AFX_EVENTSINKMAP* (*pfnGetBaseMap)();
    const AFX_EVENTSINKMAP_ENTRY* lpEntries;
};

namespace afx_event {

// The variant holding the value: a VT_VARIANT|VT_BYREF argument is followed to its target.
inline VARIANT* Target(VARIANT* v)
{
    while (v != nullptr && v->vt == (VT_VARIANT | VT_BYREF))
        v = v->pvarVal;
    return v;
}

// Argument i (in declaration order) of a DISPPARAMS, or NULL when the caller passed fewer.
inline VARIANT* ArgAt(DISPPARAMS* dp, std::size_t i)
{
    if (dp == nullptr || dp->rgvarg == nullptr || i >= dp->cArgs)
        return nullptr;
    return &dp->rgvarg[dp->cArgs - 1 - i];
}

// A by-value argument coerced to a VARTYPE; the coerced copy lives as long as the holder.
class Coerced
{
public:
    Coerced() { ::VariantInit(&m_var); }
    Coerced(VARIANT* v, VARTYPE vt) : Coerced() { Set(v, vt); }
    void Set(VARIANT* v, VARTYPE vt)
    {
        ::VariantClear(&m_var);
        v = Target(v);
        if (v != nullptr && FAILED(::VariantChangeType(&m_var, v, 0, vt)))
            ::VariantClear(&m_var);
    }
    ~Coerced() { ::VariantClear(&m_var); }
    Coerced(const Coerced&) = delete;
    Coerced& operator=(const Coerced&) = delete;
    const VARIANT& Var() const { return m_var; }
    bool Is(VARTYPE vt) const { return m_var.vt == vt; }

private:
    VARIANT m_var;
};

// One holder per supported parameter type; an unsupported type does not compile.
template <class T, class = void>
struct Arg;

template <>
struct Arg<VARIANT*>
{
    VARIANT* p;
    explicit Arg(VARIANT* v) : p(v != nullptr && v->vt == (VT_VARIANT | VT_BYREF) ? v->pvarVal : v)
    {
    }
    VARIANT* Get() const { return p; }
};

template <>
struct Arg<const VARIANT*> : Arg<VARIANT*>
{
    using Arg<VARIANT*>::Arg;
};

// The interface pointer a VT_UNKNOWN or VT_DISPATCH argument of type vt holds, by value or by
// reference; NULL for an argument of another type.
inline IUnknown* InterfaceOf(VARIANT* v, VARTYPE vt)
{
    if (v == nullptr)
        return nullptr;
    if (v->vt == vt)
        return v->punkVal;
    if (v->vt == (vt | VT_BYREF) && v->ppunkVal != nullptr)
        return *v->ppunkVal;
    return nullptr;
}

template <>
struct Arg<IDispatch*>
{
    IDispatch* p;
    explicit Arg(VARIANT* v) : p(static_cast<IDispatch*>(InterfaceOf(Target(v), VT_DISPATCH))) {}
    IDispatch* Get() const { return p; }
};

// An IUnknown parameter takes a dispatch interface too.
template <>
struct Arg<IUnknown*>
{
    IUnknown* p;
    explicit Arg(VARIANT* v)
    {
        v = Target(v);
        p = InterfaceOf(v, VT_UNKNOWN);
        if (p == nullptr)
            p = InterfaceOf(v, VT_DISPATCH);
    }
    IUnknown* Get() const { return p; }
};

// BSTR and LPCWSTR parameters: the string itself when it is one, else a coerced copy.
template <>
struct Arg<wchar_t*>
{
    Coerced c;
    wchar_t* p = nullptr;
    explicit Arg(VARIANT* v)
    {
        VARIANT* t = Target(v);
        if (t == nullptr)
            return;
        if (t->vt == VT_BSTR)
            p = t->bstrVal;
        else if (t->vt == (VT_BSTR | VT_BYREF) && t->pbstrVal != nullptr)
            p = *t->pbstrVal;
        else
        {
            c.Set(t, VT_BSTR);
            if (c.Is(VT_BSTR))
                p = c.Var().bstrVal;
        }
    }
    wchar_t* Get() const { return p; }
};

template <>
struct Arg<const wchar_t*> : Arg<wchar_t*>
{
    using Arg<wchar_t*>::Arg;
};

// Integral and floating parameters (BOOL is int: a VT_BOOL argument arrives as TRUE or FALSE).
template <class T>
struct Arg<T, std::enable_if_t<std::is_arithmetic_v<T>>>
{
    T value{};
    explicit Arg(VARIANT* v)
    {
        v = Target(v);
        if (v == nullptr)
            return;
        if (v->vt == VT_BOOL || v->vt == (VT_BOOL | VT_BYREF))
        {
            VARIANT_BOOL b = v->vt == VT_BOOL ? v->boolVal : (v->pboolVal ? *v->pboolVal : 0);
            value = static_cast<T>(b != VARIANT_FALSE ? 1 : 0);
            return;
        }
        Coerced c(v, std::is_floating_point_v<T> ? VT_R8 : VT_I8);
        if (c.Is(VT_R8))
            value = static_cast<T>(c.Var().dblVal);
        else if (c.Is(VT_I8))
            value = static_cast<T>(c.Var().llVal);
    }
    T Get() const { return value; }
};

// By-reference parameters: the caller's storage when the argument is of that type.
template <class T, VARTYPE vt1, VARTYPE vt2 = vt1>
struct RefArg
{
    T* p = nullptr;
    explicit RefArg(VARIANT* v)
    {
        v = Target(v);
        if (v != nullptr && (v->vt == (vt1 | VT_BYREF) || v->vt == (vt2 | VT_BYREF)))
            p = static_cast<T*>(v->byref);
    }
    T* Get() const { return p; }
};

template <>
struct Arg<short*> : RefArg<short, VT_BOOL, VT_I2>
{
    using RefArg::RefArg;
};
template <>
struct Arg<LONG*> : RefArg<LONG, VT_I4>
{
    using RefArg::RefArg;
};
template <>
struct Arg<BSTR*> : RefArg<BSTR, VT_BSTR>
{
    using RefArg::RefArg;
};
template <>
struct Arg<IDispatch**> : RefArg<IDispatch*, VT_DISPATCH>
{
    using RefArg::RefArg;
};

template <auto Handler>
struct Thunk;

template <class C, class R, class... A, R (C::*Handler)(A...)>
struct Thunk<Handler>
{
    static constexpr std::size_t Arity = sizeof...(A);

    static void Call(CCmdTarget* target, DISPPARAMS* dp)
    {
        Invoke(target, dp, std::index_sequence_for<A...>{});
    }

private:
    template <std::size_t... I>
    static void Invoke(CCmdTarget* target, DISPPARAMS* dp, std::index_sequence<I...>)
    {
        std::tuple<Arg<std::decay_t<A>>...> args(ArgAt(dp, I)...);
        (static_cast<C*>(target)->*Handler)(std::get<I>(args).Get()...);
        (void)dp;
    }
};

// The thunk of an entry; the parameter type string must name as many parameters as the handler
// takes.
template <auto Handler, std::size_t ParamCount>
constexpr void (*ThunkFor())(CCmdTarget*, DISPPARAMS*)
{
    static_assert(Thunk<Handler>::Arity == ParamCount,
                  "event handler parameters do not match the parameter type string");
    return &Thunk<Handler>::Call;
}

// The base class's map when it (or one of its bases) declares one, else none.
template <class T, class = void>
struct BaseMap
{
    static const AFX_EVENTSINKMAP* Get() { return nullptr; }
};

template <class T>
struct BaseMap<T, std::void_t<decltype(&T::GetThisEventSinkMap)>>
{
    static const AFX_EVENTSINKMAP* Get() { return T::GetThisEventSinkMap(); }
};

}  // namespace afx_event

// clang-format off
#define DECLARE_EVENTSINK_MAP()                                     \
public:                                                             \
    static const AFX_EVENTSINKMAP* GetThisEventSinkMap();           \
    const AFX_EVENTSINKMAP* GetEventSinkMap() const override;       \
                                                                    \
protected:

#define BEGIN_EVENTSINK_MAP(theClass, baseClass)                          \
    const AFX_EVENTSINKMAP* theClass::GetEventSinkMap() const             \
    {                                                                     \
        return GetThisEventSinkMap();                                     \
    }                                                                     \
    const AFX_EVENTSINKMAP* theClass::GetThisEventSinkMap()               \
    {                                                                     \
        typedef baseClass TheBaseClass;                                   \
        static const AFX_EVENTSINKMAP_ENTRY _eventEntries[] = {

#define ON_EVENT(theClass, id, dispid, pfnHandler, vtsParams)                              \
    {static_cast<UINT>(id), static_cast<DISPID>(dispid),                                   \
     reinterpret_cast<const BYTE*>(vtsParams),                                             \
     afx_event::ThunkFor<&theClass::pfnHandler, sizeof(vtsParams) - 1>()},

#define END_EVENTSINK_MAP()                                                              \
    {0, 0, nullptr, nullptr}                                                             \
    };                                                                                   \
    static const AFX_EVENTSINKMAP _eventMap = {&afx_event::BaseMap<TheBaseClass>::Get,   \
                                               _eventEntries};                           \
    return &_eventMap;                                                                   \
    }
// clang-format on
