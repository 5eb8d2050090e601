#pragma once
// Watches the message boxes that open on the calling thread, records them and answers them as
// a person would: by clicking one of their buttons through window messages.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace tavrin_host {

// The static control that holds a message box's text.
const int kMessageBoxTextId = 0xFFFF;

struct MessageBoxRecord {
    std::wstring caption;
    std::wstring text;
    // The label of the button clicked: "OK", "Yes", "No", "Cancel", ..., or "?" when left to a person.
    std::wstring answer;
};

class MessageBoxWatcher {
public:
    // Chooses the button (IDOK, IDYES, ...) for a box, or 0 to leave it to a person; the
    // default takes OK, else Yes.
    using Policy = std::function<int(const MessageBoxRecord& box, HWND window)>;

    explicit MessageBoxWatcher(Policy policy = nullptr);
    ~MessageBoxWatcher();
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

    const std::vector<MessageBoxRecord>& Boxes() const { return m_boxes; }
    void Clear() { m_boxes.clear(); }

    // True for a message box window (as opposed to any other dialog).
    static bool IsMessageBox(HWND window);
    // Handles one window that has just been activated; called by the hook, and usable by
    // watchers that find boxes by other means.
    bool Handle(HWND window);

private:
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);

    Policy m_policy;
    HHOOK m_hook = nullptr;
    MessageBoxWatcher* m_previous = nullptr;
    std::vector<MessageBoxRecord> m_boxes;
    std::vector<HWND> m_answered;
};

// The text of a window, whole.
std::wstring WindowText(HWND window);

} // namespace tavrin_host
