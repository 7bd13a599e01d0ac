// A control's own accessible object: Windows' standard one for the control,
// with the role, name and description the control gives.
#include "ui/windows/win32/accessible.h"

#include <commctrl.h>
#include <oleacc.h>

#include <atomic>
#include <utility>

#include "ui/windows/win32/wide.h"

namespace ui {
namespace {

constexpr IID kIOleWindow = {
    0x00000114, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr UINT_PTR kSubclass = 0xACC;

bool Self(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

HRESULT ToBstr(std::u16string_view text, BSTR* out) {
  if (!out) return E_POINTER;
  *out = SysAllocStringLen(Wide(text).c_str(), static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

// The object handed to a client. It keeps the standard object and a weak
// link to what the control answers, nothing else: every answer is read
// when asked, and once the control is gone every call fails.
class Object final : public IAccessible, public IOleWindow {
 public:
  Object(HWND control, IAccessible* standard, std::weak_ptr<const AccessibleAnswers> answers)
      : control_(control), standard_(standard), answers_(std::move(answers)) {}
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, kIAccessible)) {
      *out = static_cast<IAccessible*>(this);
    } else if (IsEqualIID(iid, kIOleWindow)) {
      *out = static_cast<IOleWindow*>(this);
    } else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  // IDispatch: clients call IAccessible itself.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }

  // IOleWindow: the window, for WindowFromAccessibleObject.
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
    if (!window) return E_POINTER;
    *window = answers_.expired() ? nullptr : control_;
    return *window ? S_OK : RPC_E_DISCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IAccessible: role, name and description the control's own, the rest
  // the standard object's.
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    const auto answers = answers_.lock();
    if (!answers) return RPC_E_DISCONNECTED;
    if (!Self(child) || answers->role == 0) return standard_->get_accRole(child, role);
    if (!role) return E_POINTER;
    VariantInit(role);
    role->vt = VT_I4;
    role->lVal = answers->role;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    const auto answers = answers_.lock();
    if (!answers) return RPC_E_DISCONNECTED;
    if (!Self(child) || answers->name.empty()) return standard_->get_accName(child, name);
    return ToBstr(answers->name, name);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
    const auto answers = answers_.lock();
    if (!answers) return RPC_E_DISCONNECTED;
    if (!Self(child) || !answers->description)
      return standard_->get_accDescription(child, description);
    return ToBstr(answers->description(), description);
  }

  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    return Standard([&](IAccessible* s) { return s->get_accParent(parent); });
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    return Standard([&](IAccessible* s) { return s->get_accChildCount(count); });
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** got) override {
    return Standard([&](IAccessible* s) { return s->get_accChild(child, got); });
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    return Standard([&](IAccessible* s) { return s->get_accValue(child, value); });
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    return Standard([&](IAccessible* s) { return s->get_accState(child, state); });
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
    return Standard([&](IAccessible* s) { return s->get_accHelp(child, help); });
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
    return Standard([&](IAccessible* s) { return s->get_accHelpTopic(file, child, topic); });
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
    return Standard([&](IAccessible* s) { return s->get_accKeyboardShortcut(child, shortcut); });
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    return Standard([&](IAccessible* s) { return s->get_accFocus(focus); });
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    return Standard([&](IAccessible* s) { return s->get_accSelection(selection); });
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    return Standard([&](IAccessible* s) { return s->get_accDefaultAction(child, action); });
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
    return Standard([&](IAccessible* s) { return s->accSelect(flags, child); });
  }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                        VARIANT child) override {
    return Standard(
        [&](IAccessible* s) { return s->accLocation(left, top, width, height, child); });
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    return Standard([&](IAccessible* s) { return s->accNavigate(direction, start, end); });
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
    return Standard([&](IAccessible* s) { return s->accHitTest(x, y, child); });
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    return Standard([&](IAccessible* s) { return s->accDoDefaultAction(child); });
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
    return Standard([&](IAccessible* s) { return s->put_accName(child, name); });
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
    return Standard([&](IAccessible* s) { return s->put_accValue(child, value); });
  }

 private:
  ~Object() { standard_->Release(); }

  // The standard object's answer, while the control is there.
  template <class Call>
  HRESULT Standard(Call call) {
    if (answers_.expired()) return RPC_E_DISCONNECTED;
    return call(standard_);
  }

  std::atomic<ULONG> references_{1};
  const HWND control_;
  IAccessible* const standard_;
  const std::weak_ptr<const AccessibleAnswers> answers_;
};

}  // namespace

Accessible::Accessible(HWND control, AccessibleAnswers answers)
    : control_(control), answers_(std::make_shared<const AccessibleAnswers>(std::move(answers))) {
  SetWindowSubclass(control_, Proc, kSubclass, reinterpret_cast<DWORD_PTR>(this));
}

Accessible::~Accessible() { Detach(); }

void Accessible::Detach() {
  if (!control_) return;
  RemoveWindowSubclass(control_, Proc, kSubclass);
  control_ = nullptr;
  answers_.reset();  // the objects handed out answer nothing from now on
}

void Accessible::DescriptionChanged() const {
  if (control_)
    NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, control_, OBJID_CLIENT, CHILDID_SELF);
}

LRESULT CALLBACK Accessible::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR self) {
  auto* accessible = reinterpret_cast<Accessible*>(self);
  // The object id is a DWORD in the LPARAM, to be compared as one.
  if (message == WM_GETOBJECT && static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT)) {
    void* standard = nullptr;
    if (SUCCEEDED(CreateStdAccessibleObject(hwnd, OBJID_CLIENT, kIAccessible, &standard))) {
      auto* object = new Object(hwnd, static_cast<IAccessible*>(standard), accessible->answers_);
      // LresultFromObject holds a reference of its own for the client.
      const LRESULT result =
          LresultFromObject(kIAccessible, wParam, static_cast<IAccessible*>(object));
      object->Release();
      return result;
    }
  } else if (message == WM_NCDESTROY) {
    accessible->Detach();
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace ui
