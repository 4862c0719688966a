#pragma once

#include "controls.h"
#include "deferred_focus.h"
#include "speed_input.h"
#include "windows_api.h"

#include <oleauto.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace runby {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view text);
std::wstring windowText(HWND window);

// Whether the text of an EDIT control shows whole within it.
bool textFits(HWND edit);

constexpr COLORREF toColorRef(Rgb color)
{
    return RGB(color.red, color.green, color.blue);
}

// Sets or clears a style bit of a window, and only where it changes: a change of style costs the
// window a redraw.
void setStyleBit(HWND window, LONG_PTR bit, bool on);

// A COM string of the text, which its receiver frees, or null where there is no memory; and the
// freeing of one.
BSTR allocatedString(const wchar_t *text);
void freeString(BSTR text);

// What a speed field's input rules make of a message to the EDIT: a result where they answer it
// themselves, else nothing, after changing a typed character into what the field takes.
std::optional<LRESULT> takeSpeedFieldMessage(HWND edit, UINT message, WPARAM &wParam);

// An EDIT control as the calculator sees it. A field with a limit is a speed field: it takes what
// is typed or pasted by the input rules, invisible characters dropped, wide blanks made plain, a
// paste cut at the limit.
class Win32TextBox final : public TextBox
{
public:
    Win32TextBox(HWND edit, std::size_t limit, DeferredFocus &focus);

    std::string text() const override;
    void setText(std::string_view text) override;
    void setBackColor(Rgb color) override;
    void setLocked(bool locked) override;
    void setTabStop(bool tabStop) override;
    void setFocus() override;

    // Called for each EN_CHANGE of the control, which EDIT reports for every text set, equal or
    // not: whether the text really differs from the last one seen.
    bool textChanged();
    HWND handle() const { return m_edit; }
    Rgb backColor() const { return m_backColor; }

private:
    HWND m_edit;
    DeferredFocus &m_focus;
    FieldModel m_model;
    Rgb m_backColor = kWhite;
};

class Win32OptionButton final : public OptionButton
{
public:
    explicit Win32OptionButton(HWND button) : m_button(button) { }

    void setValue(bool selected) override;
    void setForeColor(Rgb color) override;
    void setTabStop(bool tabStop) override;

    HWND handle() const { return m_button; }
    Rgb foreColor() const { return m_foreColor; }

private:
    HWND m_button;
    Rgb m_foreColor = kBlack;
};

class Win32MessageBox final : public MessageBox
{
public:
    explicit Win32MessageBox(HWND owner) : m_owner(owner) { }

    void show(std::string_view title, std::string_view text) override;

private:
    HWND m_owner;
};

// Tells screen readers a sentence without moving the focus: a label of no size, marked as a
// polite live region, takes the sentence as its text; where the system has UI Automation
// notifications, one carries the sentence too.
class Win32Announcer final : public Announcer
{
public:
    explicit Win32Announcer(HWND region) : m_region(region) { }

    void announce(std::string_view sentence) override;
    // Readies the region and the notifications for the first sentence, which would otherwise
    // wait for them.
    void prepare();

private:
    void markLive();

    HWND m_region;
    bool m_markedLive = false;
};

} // namespace runby
