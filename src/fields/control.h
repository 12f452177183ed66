// One control of the main window as the model sees it: a name, a kind, a parent
// container, shown and enabled flags and, for the editor fields, a value with the
// event rules of its kind. The window draws this state; it never decides it.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qe {

enum class Kind {
    PageControl, // pgcMain: index() is the page in view
    Page,        // a tab page; its shown flag is the tab's
    Box,         // a panel or group box (framed, group or borderless)
    Label,
    Text,
    Spin,
    Check,
    Radio,
    Choice,
    Button,
    Image, // width() and height() in pixels
    Memo,
};

// Layout flags given in the control table.
enum Flag : unsigned {
    None = 0,
    Hidden = 1u << 0,
    Disabled = 1u << 1,
    Checked = 1u << 2,       // check field checked, radio field selected
    Password = 1u << 3,      // text shown as one "*" per character
    ReadOnly = 1u << 4,      // text or memo the user cannot edit
    NoTyping = 1u << 5,      // spin field changed only by its buttons and arrow keys
    Framed = 1u << 6,        // box drawn with a bevel
    Group = 1u << 7,         // box drawn as a group box with its caption
    NamesFile = 1u << 8,     // text that names a file: held to the file-name rule
    CheckMax = 1u << 9,      // spin brought down to MaxValue by the check before a save
    ResetChecked = 1u << 10, // check field checked, radio field selected by the reset
};

// What leaving a spin field with blank text puts into it.
enum class Blank {
    Kept,   // nothing: the text stays blank
    Min,    // MinValue
    Layout, // the value the field shows in the layout
};

class Control {
public:
    using Handler = std::function<void()>;

    Control(std::string name, Kind kind, Control* parent, std::string caption, unsigned flags);
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return name_; }
    Kind kind() const { return kind_; }
    Control* parent() const { return parent_; }
    const std::vector<Control*>& children() const { return children_; }
    const std::string& caption() const { return caption_; }
    bool has(Flag f) const { return (flags_ & f) != 0; }

    // An editor field holds a configuration value: text, spin, check, radio or
    // choice, anywhere but on the hidden extra page.
    bool isEditorField() const;
    // The page the control lies on (nullptr for pgcMain and the pages' parent).
    const Control* page() const;

    // Own flags, as the interlocks set them.
    bool shown() const { return shown_; }
    bool enabled() const { return enabled_; }
    void setShown(bool on);
    void setEnabled(bool on) { enabled_ = on; }
    // Shown, and every container above it shown (a page counts by its tab).
    bool shownInTree() const;
    // Enabled, and every container above it enabled.
    bool enabledInTree() const;

    // Text fields and spin fields. setText runs the change handler only when the
    // text really changes; it never clamps a spin field.
    const std::string& text() const { return text_; }
    void setText(std::string_view text);

    // Spin fields. value() reads the text as a whole number, MinValue when it does
    // not convert, and never clamps; setValue clamps to MinValue..MaxValue and
    // shows the number in decimal.
    int minValue() const { return min_; }
    int maxValue() const { return max_; }
    int maxLength() const { return maxLength_; } // 0: no limit
    int value() const;
    void setValue(int v);
    void setLimits(int min, int max, int maxLength);
    // The value leaving the field with blank text sets, nullopt to keep it blank.
    std::optional<int> blankValue() const { return blankValue_; }
    void setBlankValue(std::optional<int> v) { blankValue_ = v; }
    // What the number counts ("seconds"), "" when it is a bare number.
    const char* unit() const { return unit_; }
    void setUnit(const char* unit) { unit_ = unit; }

    // Check fields: setChecked runs the click handler only on a real change.
    // Radio fields: select() deselects the other radio fields of the same container
    // and runs the click handler when the field was not selected; setChecked(false)
    // deselects without running anything.
    bool checked() const { return checked_; }
    void setChecked(bool on);
    void select();

    // Choice fields: an index outside the items gives -1 (no item). Setting the
    // index runs nothing; the user's pick is Form::pick, which runs the handler.
    const std::vector<std::string>& items() const { return items_; }
    void setItems(std::vector<std::string> items) { items_ = std::move(items); }
    int index() const { return index_; }
    void setIndex(int i);

    // Images: size in pixels.
    int width() const { return width_; }
    int height() const { return height_; }
    void setSize(int w, int h) { width_ = w, height_ = h; }

    // The reset: reset() gives the field the value the control table names for it,
    // through the ordinary set operation of its kind, so its handlers run as for
    // any other change. A text field gets its reset text; a spin field the value
    // of its layout text; a check field is checked, a radio field selected, when it
    // has the ResetChecked flag (a radio field without it is deselected); a choice
    // field gets its reset item.
    void setResetText(std::string_view text) { resetText_ = text; }
    void setResetNumber(int number) { resetNumber_ = number; } // spin value, choice item
    void reset();

    // The change or click handler installed by the form; fire() runs it if set.
    void onEvent(Handler h) { handler_ = std::move(h); }
    void fire() const;

private:
    void selectPageAfterHidingTab();

    std::string name_;
    Kind kind_;
    Control* parent_;
    std::vector<Control*> children_;
    std::string caption_;
    unsigned flags_;
    bool shown_;
    bool enabled_;
    std::string text_;
    int min_ = 0, max_ = 0, maxLength_ = 0;
    std::optional<int> blankValue_;
    std::string resetText_;
    int resetNumber_ = 0;
    const char* unit_ = "";
    bool checked_;
    std::vector<std::string> items_;
    int index_ = -1;
    int width_ = 0, height_ = 0;
    Handler handler_;
};

} // namespace qe
