#pragma once
// A small dialog base over Win32: a dialog from a resource template of the plug-in module, its messages
// routed through a message table of the window class, and data exchange as two explicit functions.
//
//   class Setup_ARRL_RTTY : public DialogImpl<Setup_ARRL_RTTY> {
//       static const MessageTable<Setup_ARRL_RTTY>& Messages();   // OnCommand(...), OnMessage(...), Chain(...)
//   };
//
// Handlers have the form LRESULT Handler(WPARAM, LPARAM, bool& handled); clearing `handled` passes the
// message on, after the handler has run, to the next entry that matches it (in a chained table, as
// CHAIN_MSG_MAP does) and, when none takes it, to the default dialog processing.
//
// Lifetime: the object lets go of its window before it destroys it, so the messages of the destruction never
// reach an object that is itself being destroyed; a window destroyed by the system (its parent or its thread
// gone, DestroyWindow from elsewhere) leaves the object without a handle.
#include <windows.h>

#include <string>
#include <vector>

namespace ui {

class Dialog {
public:
    explicit Dialog(int templateId) : templateId_(templateId) {}
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Creates the modeless window (not shown unless the template says so). False when it cannot be made.
    bool Create(HWND parent = nullptr);
    // Creates the window, shows it and runs the thread's message loop until EndModal; the window is
    // destroyed before this returns. -1 when the window cannot be made.
    INT_PTR DoModal(HWND parent = nullptr);
    void EndModal(INT_PTR result);
    // Lets go of the window, then destroys it; nothing of the destruction reaches this object.
    void Destroy();
    // Lets go of the window without destroying it: it no longer reaches this object or its code, and the
    // system destroys it when its thread ends. For a library being unloaded, where destroying some
    // controls would wait for the unloading thread.
    void Abandon();

    HWND Handle() const { return hwnd_; }
    // True once EndModal has been called for the running modal loop.
    bool ModalEnding() const { return modalEnded_; }
    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
    int TemplateId() const { return templateId_; }

    // Data exchange: fields into the controls, and the controls' state back into the fields.
    virtual void FieldsToControls() {}
    virtual void ControlsToFields() {}

    // The dialog object behind a window made by this class, or null.
    static Dialog* FromHandle(HWND hwnd);

protected:
    // Called for WM_INITDIALOG; the default moves the fields into the controls.
    virtual BOOL OnInitDialog();
    // Looks the message up in the class's table; true when a handler took it.
    virtual bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // The window no longer finds this object.
    void Detach();

    int templateId_;
    HWND hwnd_ = nullptr;
    bool modalEnded_ = false;
    INT_PTR modalResult_ = 0;
};

template <class T>
struct MessageEntry {
    using Handler = LRESULT (T::*)(WPARAM, LPARAM, bool& handled);
    UINT firstMessage;  // WM_COMMAND for command entries
    UINT lastMessage;
    UINT commandId;   // control id of a command entry
    UINT notifyCode;  // notification code of a command entry (BN_CLICKED, ...)
    bool isCommand;
    Handler handler;

    bool Matches(UINT message, WPARAM wParam) const {
        if (message < firstMessage || message > lastMessage) return false;
        return !isCommand || (LOWORD(wParam) == commandId && HIWORD(wParam) == notifyCode);
    }
};

template <class T>
using MessageTable = std::vector<MessageEntry<T>>;

template <class T>
MessageEntry<T> OnMessage(UINT message, LRESULT (T::*handler)(WPARAM, LPARAM, bool&)) {
    return MessageEntry<T>{message, message, 0, 0, false, handler};
}

// Every message from `first` to `last`, both included.
template <class T>
MessageEntry<T> OnMessages(UINT first, UINT last, LRESULT (T::*handler)(WPARAM, LPARAM, bool&)) {
    return MessageEntry<T>{first, last, 0, 0, false, handler};
}

template <class T>
MessageEntry<T> OnCommand(UINT id, UINT code, LRESULT (T::*handler)(WPARAM, LPARAM, bool&)) {
    return MessageEntry<T>{WM_COMMAND, WM_COMMAND, id, code, true, handler};
}

// A class's own entries followed by those of the base tables it chains to, in order. The first entry that
// matches and handles the message takes it, so an entry of the class's own overrides the same entry of a
// base unless it says "not handled".
template <class T, class... Bases>
MessageTable<T> Chain(MessageTable<T> own, const Bases&... bases) {
    (own.insert(own.end(), bases.begin(), bases.end()), ...);
    return own;
}

template <class T>
class DialogImpl : public Dialog {
public:
    using Dialog::Dialog;

protected:
    bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        for (const MessageEntry<T>& entry : T::Messages()) {
            if (!entry.Matches(message, wParam)) continue;
            bool handled = true;
            result = (static_cast<T*>(this)->*entry.handler)(wParam, lParam, handled);
            if (handled) return true;
        }
        return false;
    }
};

// Window texts through the wide API, so Cyrillic shows whatever the process's code page.
std::wstring WindowTextW(HWND hwnd);
void SetWindowTextFrom1251(HWND hwnd, const std::string& cp1251);
std::wstring From1251(const std::string& cp1251);
std::string To1251(const std::wstring& text);

// The plug-in module's handle, which owns every template and the icon.
HINSTANCE ResourceModule();

}  // namespace ui
