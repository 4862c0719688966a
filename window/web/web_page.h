#pragma once

// The page's functions, in web_page.js, which the linker takes as a JavaScript library. Elements
// are named by the design's names; texts cross as UTF-8, a field's value as UTF-16. The page
// holds the controls already, drawn from clientAreaMarkup when the site is built.

extern "C" {
void js_wire_event(const char *name, const char *domEvent, int control, int event);
// The page's own handling of its menu, its box and its keys, for the window given, which the
// page passes back with its events and keys; the menu is named helpName.
void js_wire_page(void *window, const char *helpName);
// The number by which the page tells the window of the control with that element id.
void js_name_control(const char *name, int control);
void js_click(const char *name);
void js_open_menu();
// Closes the menu and gives the focus back where it was before the menu opened.
void js_close_menu();
void js_mark_ready();
// The page's language, its lang attribute, as a copy that the caller frees.
char *js_page_language();
// A copy of the value that the caller frees.
char *js_utf8_value(const char *name);
int js_value_length(const char *name);
void js_read_value(const char *name, char16_t *out, int units);
int js_caret(const char *name);
void js_write_value(const char *name, const char16_t *text, int caret);
void js_set_utf8_value(const char *name, const char *text);
void js_set_style(const char *name, const char *property, const char *value);
void js_set_read_only(const char *name, bool readOnly);
void js_set_tab_index(const char *name, int index);
void js_focus(const char *name);
void js_set_checked(const char *name, bool checked);
void js_show_message(const char *title, const char *text);
void js_announce(const char *sentence);
}
