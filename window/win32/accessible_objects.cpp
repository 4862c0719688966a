#include "accessible_objects.h"

#include "accessible_outline.h"
#include "control_ids.h"
#include "win32_controls.h"

#include <oleacc.h>

#include <array>
#include <optional>
#include <string>

namespace runby {

namespace {

bool isSelf(const VARIANT &child)
{
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// The system's accessible object of a window, to which every question goes unless a subclass
// answers it. It takes over the reference to the system's object it is given.
class DelegatingAccessible : public IAccessible
{
public:
    explicit DelegatingAccessible(IAccessible *standard) : m_standard(standard) { }
    DelegatingAccessible(const DelegatingAccessible &) = delete;
    DelegatingAccessible &operator=(const DelegatingAccessible &) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void **object) override
    {
        if (!object)
            return E_POINTER;
        if (id == IID_IUnknown || id == IID_IDispatch || id == IID_IAccessible) {
            *object = static_cast<IAccessible *>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override
    {
        return m_standard->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo **info) override
    {
        return m_standard->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(
        REFIID id, LPOLESTR *names, UINT count, LCID locale, DISPID *ids) override
    {
        return m_standard->GetIDsOfNames(id, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID id, LCID locale, WORD flags,
        DISPPARAMS *parameters, VARIANT *result, EXCEPINFO *exception, UINT *error) override
    {
        return m_standard->Invoke(member, id, locale, flags, parameters, result, exception, error);
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR *name) override
    {
        return m_standard->get_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR *value) override
    {
        return m_standard->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT *role) override
    {
        return m_standard->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT *state) override
    {
        return m_standard->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch **parent) override
    {
        return m_standard->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG *count) override
    {
        return m_standard->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch **object) override
    {
        return m_standard->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR *description) override
    {
        return m_standard->get_accDescription(child, description);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR *help) override
    {
        return m_standard->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR *file, VARIANT child, LONG *topic) override
    {
        return m_standard->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR *shortcut) override
    {
        return m_standard->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT *child) override
    {
        return m_standard->get_accFocus(child);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT *children) override
    {
        return m_standard->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR *action) override
    {
        return m_standard->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override
    {
        return m_standard->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(
        LONG *left, LONG *top, LONG *width, LONG *height, VARIANT child) override
    {
        return m_standard->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT *end) override
    {
        return m_standard->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG left, LONG top, VARIANT *child) override
    {
        return m_standard->accHitTest(left, top, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override
    {
        return m_standard->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

protected:
    virtual ~DelegatingAccessible() { m_standard->Release(); }

    IAccessible *m_standard;

private:
    ULONG m_references = 1;
};

// The accessibility library is loaded when assistive technology first asks, so that a start
// without it does not pay for it.
class Oleacc
{
public:
    static const Oleacc &get()
    {
        static const Oleacc oleacc;
        return oleacc;
    }

    // The system's accessible object of a window's client area, or nothing.
    IAccessible *standardClient(HWND window) const
    {
        IAccessible *standard = nullptr;
        if (!m_createStandard || !m_resultFromObject
            || FAILED(m_createStandard(
                window, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void **>(&standard))))
            return nullptr;
        return standard;
    }
    // The answer to WM_GETOBJECT: the object, whose reference this takes over.
    LRESULT result(WPARAM flags, DelegatingAccessible *object) const
    {
        const LRESULT result = m_resultFromObject(IID_IAccessible, flags, object);
        object->Release();
        return result;
    }
    IDispatch *windowObject(HWND window) const { return objectOf(window, OBJID_WINDOW); }
    IDispatch *clientObject(HWND window) const { return objectOf(window, OBJID_CLIENT); }

private:
    using CreateStandard = HRESULT(WINAPI *)(HWND, LONG, REFIID, void **);
    using ResultFromObject = LRESULT(WINAPI *)(REFIID, WPARAM, IUnknown *);
    using FromWindow = HRESULT(WINAPI *)(HWND, DWORD, REFIID, void **);

    Oleacc()
        : m_module(LoadLibraryW(L"oleacc.dll")),
          m_createStandard(procedureOf<CreateStandard>("CreateStdAccessibleObject")),
          m_resultFromObject(procedureOf<ResultFromObject>("LresultFromObject")),
          m_fromWindow(procedureOf<FromWindow>("AccessibleObjectFromWindow"))
    {
    }
    IDispatch *objectOf(HWND window, LONG part) const
    {
        IDispatch *object = nullptr;
        if (!m_fromWindow
            || FAILED(m_fromWindow(window, static_cast<DWORD>(part), IID_IDispatch,
                reinterpret_cast<void **>(&object))))
            return nullptr;
        return object;
    }
    template <typename Function> Function procedureOf(const char *name) const
    {
        return m_module ? procedure<Function>(m_module, name) : nullptr;
    }

    HMODULE m_module;
    CreateStandard m_createStandard;
    ResultFromObject m_resultFromObject;
    FromWindow m_fromWindow;
};

HRESULT answerText(BSTR *answer, const std::wstring &text)
{
    *answer = allocatedString(text.c_str());
    return *answer ? S_OK : E_OUTOFMEMORY;
}

HRESULT answerNothing(BSTR *answer)
{
    *answer = nullptr;
    return S_FALSE;
}

void setNumber(VARIANT *answer, LONG value)
{
    *answer = VARIANT{};
    answer->vt = VT_I4;
    answer->lVal = value;
}

std::array<HWND, kUnitOptions.size()> unitOptionsOf(HWND window)
{
    std::array<HWND, kUnitOptions.size()> options{};
    for (std::size_t i = 0; i < options.size(); ++i)
        options.at(i) = GetDlgItem(window, commandIdOf(kUnitOptions.at(i)));
    return options;
}

// The unit options' group, which has no window of its own: named for the units, covering both
// options, their parent and the client area's child in their place. Questions it does not answer
// go to the client area's system object, which it is given.
class AccessibleGroup final : public DelegatingAccessible
{
public:
    AccessibleGroup(IAccessible *standardClient, HWND window)
        : DelegatingAccessible(standardClient), m_window(window), m_options(unitOptionsOf(window))
    {
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR *name) override
    {
        return isSelf(child) ? answerText(name, widen(textOf(Text::unit_options_name)))
                             : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT, BSTR *value) override
    {
        return answerNothing(value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR *description) override
    {
        return answerNothing(description);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR *help) override
    {
        return answerNothing(help);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR *shortcut) override
    {
        return answerNothing(shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT, BSTR *action) override
    {
        return answerNothing(action);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT, VARIANT *role) override
    {
        setNumber(role, ROLE_SYSTEM_GROUPING);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT, VARIANT *state) override
    {
        setNumber(state, 0);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch **parent) override
    {
        *parent = Oleacc::get().clientObject(m_window);
        return *parent ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG *count) override
    {
        *count = static_cast<LONG>(m_options.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch **object) override
    {
        *object = nullptr;
        if (child.vt != VT_I4 || child.lVal < 1 || child.lVal > static_cast<LONG>(m_options.size()))
            return E_INVALIDARG;
        *object =
            Oleacc::get().windowObject(m_options.at(static_cast<std::size_t>(child.lVal - 1)));
        return *object ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT *child) override
    {
        *child = VARIANT{};
        for (HWND option : m_options)
            if (GetFocus() == option) {
                child->pdispVal = Oleacc::get().windowObject(option);
                child->vt = child->pdispVal ? VT_DISPATCH : VT_EMPTY;
            }
        return child->vt == VT_EMPTY ? S_FALSE : S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT *children) override
    {
        *children = VARIANT{};
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE accLocation(
        LONG *left, LONG *top, LONG *width, LONG *height, VARIANT) override
    {
        const RECT area = areaOnScreen();
        *left = area.left;
        *top = area.top;
        *width = area.right - area.left;
        *height = area.bottom - area.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG left, LONG top, VARIANT *child) override
    {
        *child = VARIANT{};
        const RECT area = areaOnScreen();
        if (!PtInRect(&area, POINT{left, top}))
            return S_FALSE;
        child->vt = VT_I4;
        child->lVal = CHILDID_SELF;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG, VARIANT, VARIANT *end) override
    {
        *end = VARIANT{};
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG, VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT) override { return DISP_E_MEMBERNOTFOUND; }

private:
    RECT areaOnScreen() const
    {
        RECT area{};
        for (HWND option : m_options) {
            RECT place{};
            GetWindowRect(option, &place);
            UnionRect(&area, &area, &place);
        }
        return area;
    }

    HWND m_window;
    std::array<HWND, kUnitOptions.size()> m_options;
};

IDispatch *unitOptionsGroup(HWND window)
{
    IAccessible *standard = Oleacc::get().standardClient(window);
    return standard ? new AccessibleGroup(standard, window) : nullptr;
}

// A control as the layout describes it: its name (the caption without its access-key mark where
// the layout names it no other way) and the role of its kind; a field's text as its value and
// read-only while locked, an option checked while selected, the default button marked so. The
// system's own objects fall short of this for some classes, Wine's for buttons and labels.
class AccessibleControl final : public DelegatingAccessible
{
public:
    AccessibleControl(IAccessible *standard, HWND control, const ControlLayout &layout)
        : DelegatingAccessible(standard), m_control(control), m_layout(layout)
    {
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR *name) override
    {
        if (!isSelf(child))
            return m_standard->get_accName(child, name);
        return answerText(name, widen(accessibleNameOf(m_layout.id)));
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR *value) override
    {
        if (!isSelf(child) || m_layout.kind != ControlKind::TextField)
            return m_standard->get_accValue(child, value);
        return answerText(value, windowText(m_control));
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT *role) override
    {
        if (!isSelf(child))
            return m_standard->get_accRole(child, role);
        setNumber(role, roleOf(m_layout.kind));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch **parent) override
    {
        if (m_layout.kind != ControlKind::OptionButton)
            return m_standard->get_accParent(parent);
        *parent = unitOptionsGroup(GetParent(m_control));
        return *parent ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT *state) override
    {
        const HRESULT result = m_standard->get_accState(child, state);
        if (FAILED(result) || !isSelf(child) || state->vt != VT_I4)
            return result;
        const LONG_PTR style = GetWindowLongPtrW(m_control, GWL_STYLE);
        switch (m_layout.kind) {
        case ControlKind::TextField:
            if (style & ES_READONLY)
                state->lVal |= STATE_SYSTEM_READONLY;
            break;
        case ControlKind::OptionButton:
            if (SendMessageW(m_control, BM_GETCHECK, 0, 0) == BST_CHECKED)
                state->lVal |= STATE_SYSTEM_CHECKED;
            break;
        case ControlKind::PushButton:
            if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
                state->lVal |= STATE_SYSTEM_DEFAULT;
            break;
        case ControlKind::Label:
            state->lVal |= STATE_SYSTEM_READONLY;
            break;
        case ControlKind::Window:
        case ControlKind::Menu:
        case ControlKind::MenuItem:
            break;
        }
        return result;
    }

private:
    static LONG roleOf(ControlKind kind)
    {
        switch (kind) {
        case ControlKind::OptionButton:
            return ROLE_SYSTEM_RADIOBUTTON;
        case ControlKind::PushButton:
            return ROLE_SYSTEM_PUSHBUTTON;
        case ControlKind::TextField:
            return ROLE_SYSTEM_TEXT;
        case ControlKind::Label:
        case ControlKind::Window:
        case ControlKind::Menu:
        case ControlKind::MenuItem:
            break;
        }
        return ROLE_SYSTEM_STATICTEXT;
    }

    HWND m_control;
    const ControlLayout &m_layout;
};

// The window's client area: its controls as children in the order of reading, whatever their
// stacking order, which the dialog manager needs in Tab order; and what the program is.
class AccessibleClientArea final : public DelegatingAccessible
{
public:
    AccessibleClientArea(
        IAccessible *standard, const std::array<HWND, kClientControlCount> &controls)
        : DelegatingAccessible(standard), m_controls(controls)
    {
    }

    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG *count) override
    {
        *count = static_cast<LONG>(kChildren.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch **object) override
    {
        *object = nullptr;
        if (child.vt != VT_I4 || child.lVal < 1 || child.lVal > static_cast<LONG>(kChildren.size()))
            return E_INVALIDARG;
        const ControlId id = kChildren.at(static_cast<std::size_t>(child.lVal - 1));
        HWND control = m_controls.at(indexOf(id));
        *object = id == kUnitOptions.front() ? unitOptionsGroup(GetParent(control))
                                             : Oleacc::get().windowObject(control);
        return *object ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR *description) override
    {
        if (!isSelf(child))
            return DelegatingAccessible::get_accDescription(child, description);
        return answerText(description, widen(accessibleDescriptionOf(ControlId::frmRunby)));
    }

private:
    // The controls in the order of reading, the first unit option standing for their group.
    static constexpr std::array<ControlId, kClientControlCount - 1> kChildren = [] {
        std::array<ControlId, kClientControlCount - 1> children{};
        auto next = children.begin();
        for (const ControlId id : kReadingOrder)
            if (id != kUnitOptions.back())
                *next++ = id;
        return children;
    }();

    std::array<HWND, kClientControlCount> m_controls;
};

} // namespace

LRESULT answerControlObject(HWND control, WPARAM flags)
{
    const std::optional<ControlId> id = controlIdOf(GetDlgCtrlID(control));
    if (!id || *id == ControlId::mnuRunbyInfo)
        return 0;
    IAccessible *standard = Oleacc::get().standardClient(control);
    if (!standard)
        return 0;
    return Oleacc::get().result(flags, new AccessibleControl(standard, control, layoutOf(*id)));
}

LRESULT answerClientAreaObject(
    HWND window, WPARAM flags, const std::array<HWND, kClientControlCount> &controls)
{
    IAccessible *standard = Oleacc::get().standardClient(window);
    if (!standard)
        return 0;
    return Oleacc::get().result(flags, new AccessibleClientArea(standard, controls));
}

} // namespace runby
