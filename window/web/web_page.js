// The page's side of the calculator: the DOM elements of the controls, found by the design's
// names. Everything the calculator decides (what element each control is, its access key, which
// events it raises, the menu's shortcut) comes from the C++ side; this file only carries it out.
const runbyLibrary = {
    // The window that the page passes back with its events and keys, and the number of each
    // control by its element's id.
    $runbyKeys: {window: 0, numbers: {}},

    // The Help menu's button and its list, which js_wire_page finds, and the element that had the
    // focus before the menu opened, which has it again once the menu closes.
    $runbyMenu: {
        help: null,
        list: null,
        returnFocus: null,
        open: function() {
            if (runbyMenu.list.hidden)
                runbyMenu.returnFocus = document.activeElement;
            runbyMenu.list.hidden = false;
            runbyMenu.help.setAttribute("aria-expanded", "true");
            runbyMenu.list.querySelector("[role=menuitem]").focus();
        },
        close: function() {
            if (runbyMenu.list.hidden)
                return;
            runbyMenu.list.hidden = true;
            runbyMenu.help.setAttribute("aria-expanded", "false");
            const back = runbyMenu.returnFocus;
            runbyMenu.returnFocus = null;
            if (back)
                back.focus();
        },
    },

    // Sends the control's domEvent to the calculator as the numbers it gave for the control and
    // the event.
    js_wire_event__deps: ["$runbyKeys"],
    js_wire_event: function(name, domEvent, control, event) {
        document.getElementById(UTF8ToString(name)).addEventListener(UTF8ToString(domEvent), (e) => {
            if (!e.isComposing)
                _runby_event(runbyKeys.window, control, event);
        });
    },

    js_name_control__deps: ["$runbyKeys"],
    js_name_control: function(name, control) {
        runbyKeys.numbers[UTF8ToString(name)] = control;
    },

    // Clicks the control, as the keyboard policy presses or selects it, the menu closed first.
    js_click__deps: ["$runbyMenu"],
    js_click: function(name) {
        runbyMenu.close();
        document.getElementById(UTF8ToString(name)).click();
    },

    js_open_menu__deps: ["$runbyMenu"],
    js_open_menu: function() {
        runbyMenu.open();
    },

    js_close_menu__deps: ["$runbyMenu"],
    js_close_menu: function() {
        runbyMenu.close();
    },

    // What the page does of itself: the Help menu, the keys it answers and the dialog's focus.
    js_wire_page__deps: ["$runbyKeys", "$runbyMenu"],
    js_wire_page: function(window, helpName) {
        runbyKeys.window = window;
        const help = document.getElementById(UTF8ToString(helpName));
        const list = help.nextElementSibling;
        runbyMenu.help = help;
        runbyMenu.list = list;
        const dialog = document.getElementById("runbyInfo");
        help.addEventListener("click", () => (list.hidden ? runbyMenu.open() : runbyMenu.close()));
        // Before the item acts: the box it opens gives the focus back where it was.
        list.addEventListener("click", () => runbyMenu.close(), true);
        // OK, Enter and Escape close the box here rather than through the form: the focus and the
        // caret go back where they were at once, before the next key is handled. Left to the
        // browser, a key typed right after a click on OK reaches the field while it still counts
        // as behind the box, and is lost; this can go once the browser gives the focus back
        // before it handles the next key.
        const closeBox = (e) => {
            e.preventDefault();
            // The page behind the box comes back to assistive technology as it closes: a status
            // region still holding the last sentence would have it spoken again.
            document.getElementById("announcement").textContent = "";
            dialog.close();
            const back = dialog.returnFocus;
            if (!back)
                return;
            back.focus();
            if (dialog.returnCaret)
                back.setSelectionRange(...dialog.returnCaret);
        };
        dialog.querySelector("form").addEventListener("submit", closeBox);
        dialog.addEventListener("cancel", closeBox);
        // The calculator's keyboard policy answers a key before the browser does: its access keys
        // would also move the focus, and the key typed next would follow it.
        document.addEventListener("keydown", (e) => {
            if (dialog.open || e.isComposing)
                return;
            const focus = runbyKeys.numbers[document.activeElement.id];
            if (_runby_key(runbyKeys.window, e.keyCode, e.altKey, e.ctrlKey, e.shiftKey,
                focus === undefined ? -1 : focus))
                e.preventDefault();
        });
    },

    // Marks the moment the calculator can take its first speed, for the start-up benchmark, and
    // presses Calculate for an Enter that came before.
    js_mark_ready: function() {
        performance.mark("runby-ready");
        const page = document.getElementById("client").dataset;
        page.ready = "true";
        if (page.enterBeforeReady) {
            delete page.enterBeforeReady;
            document.querySelector("#client [type=submit]").click();
        }
    },

    js_page_language: function() {
        return stringToNewUTF8(document.documentElement.lang);
    },

    js_utf8_value: function(name) {
        return stringToNewUTF8(document.getElementById(UTF8ToString(name)).value);
    },

    js_value_length: function(name) {
        return document.getElementById(UTF8ToString(name)).value.length;
    },

    js_read_value: function(name, out, units) {
        stringToUTF16(document.getElementById(UTF8ToString(name)).value, out, 2 * units + 2);
    },

    js_caret: function(name) {
        const field = document.getElementById(UTF8ToString(name));
        return field.selectionEnd == null ? field.value.length : field.selectionEnd;
    },

    js_write_value: function(name, text, caret) {
        const field = document.getElementById(UTF8ToString(name));
        field.value = UTF16ToString(text);
        if (document.activeElement == field)
            field.setSelectionRange(caret, caret);
        // A text wider than its field shows whole in the field's tooltip.
        field.title = field.scrollWidth > field.clientWidth ? field.value : "";
    },

    js_set_utf8_value: function(name, text) {
        document.getElementById(UTF8ToString(name)).value = UTF8ToString(text);
    },

    js_set_style: function(name, property, value) {
        const box = document.getElementById(UTF8ToString(name)).closest(".control");
        box.style.setProperty(UTF8ToString(property), UTF8ToString(value));
    },

    js_set_read_only: function(name, readOnly) {
        document.getElementById(UTF8ToString(name)).readOnly = !!readOnly;
    },

    js_set_tab_index: function(name, index) {
        document.getElementById(UTF8ToString(name)).tabIndex = index;
    },

    js_focus: function(name) {
        document.getElementById(UTF8ToString(name)).focus();
    },

    js_set_checked: function(name, checked) {
        document.getElementById(UTF8ToString(name)).checked = !!checked;
    },

    // A polite status region speaks what it is given. It is emptied first, so that the same
    // sentence twice is spoken twice; Orca takes a text the same as the one before for the same
    // change told twice, so a repeated sentence ends in a no-break space the second time, until
    // Orca tells each change of a live region.
    js_announce: function(sentence) {
        const region = document.getElementById("announcement");
        let text = UTF8ToString(sentence);
        if (text == region.dataset.last)
            text += "\u00a0";
        region.dataset.last = text;
        region.textContent = "";
        setTimeout(() => {
            region.textContent = text;
        }, 100);
    },

    js_show_message: function(title, text) {
        const dialog = document.getElementById("runbyInfo");
        dialog.querySelector("h2").textContent = UTF8ToString(title);
        // A line to a block of its own, which knows its indentation: where the box is narrower
        // than the lines, they wrap, and the rows they wrap onto stand at that indentation.
        const lines = UTF8ToString(text).split("\n");
        dialog.querySelector("pre").replaceChildren(...lines.map((line, i) => {
            const block = document.createElement("span");
            block.className = "line";
            block.textContent = i + 1 < lines.length ? line + "\n" : line;
            block.style.setProperty("--indent", line.length - line.trimStart().length);
            return block;
        }));
        const back = document.activeElement;
        dialog.returnFocus = back;
        dialog.returnCaret = back && typeof back.selectionStart == "number"
            ? [back.selectionStart, back.selectionEnd, back.selectionDirection]
            : null;
        dialog.showModal();
    },
};

// Emscripten 3.1.6 gives every library function its string conversions; later versions give a
// function only those that its __deps name, where they are library functions of their own.
const runbyStrings = ["$UTF8ToString", "$UTF16ToString", "$stringToUTF16", "$stringToNewUTF8"]
    .filter((name) => name in LibraryManager.library);
for (const name of Object.keys(runbyLibrary).filter((key) => /^js_\w+$/.test(key)))
    runbyLibrary[name + "__deps"] = (runbyLibrary[name + "__deps"] || []).concat(runbyStrings);
mergeInto(LibraryManager.library, runbyLibrary);
