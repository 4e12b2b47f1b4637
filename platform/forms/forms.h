// Toolkit-neutral model of dialog windows and their controls: a form declares
// its controls on a grid, views render it and feed user input back through it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/forms/error.h"

namespace kado::forms {

// Window handle as the host hands it over (hWndMDI); 0 means the desktop itself.
using WindowHandle = std::int32_t;

// Key codes the dialogs look at.
namespace key {
inline constexpr int Backspace = 8;
inline constexpr int Comma = 44;
}  // namespace key

enum class ControlKind { Label, TextBox, MaskEdBox, CheckBox, OptionButton, ComboBox, CommandButton, Frame, Line, ImageList };

enum class WindowState { Normal = 0, Minimized = 1, Maximized = 2 };
enum class MousePointer { Default = 0, Hourglass = 11 };
enum class Alignment { Left = 0, Right = 1, Center = 2 };

// Where a control sits in its container's grid (0-based).
struct GridPlace {
    int row = 0;
    int column = 0;
    int rowSpan = 1;
    int columnSpan = 1;
};

// A small bitmap, 0xAARRGGBB per pixel, row by row.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb;
    bool Empty() const noexcept { return width <= 0 || height <= 0 || argb.empty(); }
    friend bool operator==(const Picture&, const Picture&) = default;
};

// What a view is told when the model changes; `control` is null for the form itself.
enum class Change {
    Structure,  // loaded or unloaded: controls were created or dropped
    Caption, Text, Selection, Value, Enabled, Visible, Picture, List, Alignment, Font,
    Focus, WindowState, Position, MousePointer, Parent, Icon, Shown, Hidden
};

class Form;
class Desktop;

using Handler = std::function<void()>;
// Key handlers may change the code; 0 swallows the key.
using KeyHandler = std::function<void(int& keyCode)>;

// Base of every control: identity, place, the common properties and events.
class Control {
public:
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    ControlKind Kind() const noexcept { return kind_; }
    const std::string& Name() const noexcept { return name_; }
    int Index() const noexcept { return index_; }   // -1 when not part of a control array
    std::string Key() const;                        // "cmdEnde" or "optTabelle(3)"
    const std::string& Container() const noexcept { return container_; }  // frame key or ""
    const GridPlace& Place() const noexcept { return place_; }
    Form& Parent() const noexcept { return form_; }

    bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool enabled);
    bool Visible() const noexcept { return visible_; }
    void SetVisible(bool visible);
    // Width hint for views, in average characters; 0 lets the view decide.
    int WidthChars() const noexcept { return widthChars_; }
    void SetWidthChars(int chars) noexcept { widthChars_ = chars; }
    // Text in a fixed-pitch font, so that the digits of amounts stand in columns.
    bool FixedPitch() const noexcept { return fixedPitch_; }
    void SetFixedPitch(bool fixed);

    // Whether the control can take the focus at all (labels, frames, lines, image lists cannot).
    bool Focusable() const noexcept;

    void OnGotFocus(Handler h) { gotFocus_.push_back(std::move(h)); }
    void OnLostFocus(Handler h) { lostFocus_.push_back(std::move(h)); }
    void OnClick(Handler h) { click_.push_back(std::move(h)); }
    void OnKeyPress(KeyHandler h) { keyPress_.push_back(std::move(h)); }
    void OnKeyUp(KeyHandler h) { keyUp_.push_back(std::move(h)); }

    // User actions. Click on a check box toggles it, on an option selects it,
    // then the Click handlers run.
    virtual void Click();
    // One typed character: KeyPress handlers first (they may change or swallow it),
    // then the control's own typing, then KeyUp handlers.
    void TypeChar(char32_t ch);

    // Event firing for the form and views.
    void FireGotFocus();
    void FireLostFocus();
    void FireClick();
    int FireKeyPress(int keyCode);
    int FireKeyUp(int keyCode);

protected:
    Control(Form& form, ControlKind kind, std::string name, int index, std::string container, GridPlace place);
    void Notify(Change change);
    // What the control does with an accepted character (text controls).
    virtual void ApplyChar(char32_t ch);

private:
    Form& form_;
    ControlKind kind_;
    std::string name_;
    int index_;
    std::string container_;
    GridPlace place_;
    bool enabled_ = true;
    bool visible_ = true;
    int widthChars_ = 0;
    bool fixedPitch_ = false;
    std::vector<Handler> gotFocus_, lostFocus_, click_;
    std::vector<KeyHandler> keyPress_, keyUp_;
    bool dropped_ = false;  // unloaded while one of its handlers still ran
    void RunHandlers(const std::vector<Handler>& handlers);
    int RunKeyHandlers(const std::vector<KeyHandler>& handlers, int keyCode);
    friend class Form;
};

class Label : public Control {
public:
    Label(Form& f, std::string name, int index, std::string container, GridPlace place);
    const std::string& Caption() const noexcept { return caption_; }
    void SetCaption(std::string caption);
    forms::Alignment Alignment() const noexcept { return alignment_; }
    void SetAlignment(forms::Alignment a);
private:
    std::string caption_;
    forms::Alignment alignment_ = forms::Alignment::Left;
};

// Plain text input. Positions count characters (code points).
class TextBox : public Control {
public:
    TextBox(Form& f, std::string name, int index, std::string container, GridPlace place);
    const std::string& Text() const noexcept { return text_; }
    virtual void SetText(std::string text);
    int SelStart() const noexcept { return selStart_; }
    int SelLength() const noexcept { return selLength_; }
    // Negative values fail with 380; values past the end are clamped.
    void SetSelStart(int start);
    void SetSelLength(int length);
    // Removes the selection, or the character after the caret (the Delete key).
    virtual void DeleteForward();
protected:
    TextBox(Form& f, ControlKind kind, std::string name, int index, std::string container, GridPlace place);
    void ApplyChar(char32_t ch) override;
    void SetRaw(std::string text, int selStart, int selLength);
    int Length() const noexcept;
private:
    std::string text_;
    int selStart_ = 0;
    int selLength_ = 0;
};

// Masked input: placeholders '#' and '9' digit, '?' letter, 'A' and 'a' letter or digit,
// '&' and 'C' any character; '\' makes the next character literal; everything else is literal.
// The prompt character is a blank, so Text always has the mask's length.
class MaskEdBox : public TextBox {
public:
    MaskEdBox(Form& f, std::string name, int index, std::string container, GridPlace place);
    const std::string& Mask() const noexcept { return mask_; }
    // Resets the text to prompt characters; an empty mask makes a plain text box.
    void SetMask(std::string mask);
    // Must fit the mask (literals in place, placeholders valid or blank) or fails with 380;
    // "" clears every placeholder.
    void SetText(std::string text) override;
    void DeleteForward() override;
protected:
    void ApplyChar(char32_t ch) override;
private:
    std::string mask_;
};

class CheckBox : public Control {
public:
    CheckBox(Form& f, std::string name, int index, std::string container, GridPlace place);
    const std::string& Caption() const noexcept { return caption_; }
    void SetCaption(std::string caption);
    int Value() const noexcept { return value_; }
    // 0 unchecked, 1 checked; anything else fails with 380. A change fires Click.
    void SetValue(int value);
    void Click() override;
private:
    std::string caption_;
    int value_ = 0;
};

// Options in the same container form one group: selecting one clears the others.
class OptionButton : public Control {
public:
    OptionButton(Form& f, std::string name, int index, std::string container, GridPlace place);
    const std::string& Caption() const noexcept { return caption_; }
    void SetCaption(std::string caption);
    bool Value() const noexcept { return value_; }
    // True clears the rest of the group and fires Click when it was false.
    void SetValue(bool value);
    void Click() override;
private:
    std::string caption_;
    bool value_ = false;
};

class ComboBox : public Control {
public:
    ComboBox(Form& f, std::string name, int index, std::string container, GridPlace place);
    const std::vector<std::string>& List() const noexcept { return list_; }
    void AddItem(std::string item);
    void Clear();
    int ListIndex() const noexcept { return listIndex_; }
    // -1 selects nothing; other values outside the list fail with 380.
    void SetListIndex(int index);
    const std::string& Text() const noexcept { return text_; }
    // Free text; selects the first entry that equals it, else no entry.
    void SetText(std::string text);
private:
    std::vector<std::string> list_;
    int listIndex_ = -1;
    std::string text_;
};

class CommandButton : public Control {
public:
    CommandButton(Form& f, std::string name, int index, std::string container, GridPlace place);
    const std::string& Caption() const noexcept { return caption_; }
    void SetCaption(std::string caption);
    const forms::Picture& Picture() const noexcept { return picture_; }
    void SetPicture(forms::Picture picture);
private:
    std::string caption_;
    forms::Picture picture_;
};

// A captioned group box; controls name it as their container. Their rows divide
// the frame's row; their columns are the container's, counted from the frame's
// column, so that a column lines up inside and outside the frame.
class Frame : public Control {
public:
    Frame(Form& f, std::string name, int index, std::string container, GridPlace place);
    const std::string& Caption() const noexcept { return caption_; }
    void SetCaption(std::string caption);
private:
    std::string caption_;
};

// A horizontal separator line.
class Line : public Control {
public:
    Line(Form& f, std::string name, int index, std::string container, GridPlace place);
};

// Pictures by key; never shown.
class ImageList : public Control {
public:
    ImageList(Form& f, std::string name, int index, std::string container, GridPlace place);
    void Add(std::string key, forms::Picture picture);
    // Fails with 35601 when no image has the key.
    const forms::Picture& Picture(std::string_view key) const;
    std::size_t Count() const noexcept { return images_.size(); }
private:
    std::vector<std::pair<std::string, forms::Picture>> images_;
};

class Subscription;

// A window with its controls. Designing (creating controls, setting their start
// properties, attaching handlers) happens on every load; unloading drops all of it.
// Reaching a control of an unloaded form loads the form first.
class Form : public std::enable_shared_from_this<Form> {
public:
    using Design = std::function<void(Form&)>;
    using Observer = std::function<void(Form&, Control*, Change)>;

    static std::shared_ptr<Form> Create(std::shared_ptr<Desktop> desktop, std::string name, Design design);
    ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& Name() const noexcept { return name_; }
    Desktop& GetDesktop() const noexcept { return *desktop_; }

    // Lifecycle. Load runs the design, then the Load handlers; Unload runs the Unload
    // handlers, hides the window and drops every control.
    bool Loaded() const noexcept { return loaded_; }
    void Load();
    void Unload();
    // Loads when needed and makes the window visible; modal shows wait on the desktop
    // until the form is hidden or unloaded.
    void Show(bool modal = false);
    void Hide();
    bool Visible() const noexcept { return visible_; }
    bool Modal() const noexcept { return modal_; }
    // The window's close box: unloads.
    void Close() { Unload(); }

    // Design: add a control (name, array index or -1, container frame key or "", grid place).
    template <class T>
    T& Add(std::string name, GridPlace place, int index = -1, std::string container = {}) {
        auto c = std::make_unique<T>(*this, std::move(name), index, std::move(container), place);
        T& ref = *c;
        AddControl(std::move(c));
        return ref;
    }

    // Lookup; loads the form when needed. Missing names fail with 730, missing array
    // elements with 340, a different kind with 13.
    Control& Item(std::string_view name, int index = -1);
    // Accepts "name" or "name(3)".
    Control& ItemByKey(std::string_view key);
    template <class T>
    T& Get(std::string_view name, int index = -1) {
        Control& c = Item(name, index);
        if (T* t = dynamic_cast<T*>(&c)) return *t;
        ThrowWrongKind(c);
    }
    // In declaration order.
    std::vector<Control*> Controls() const;

    // Focus: leaving fires LostFocus on the old control, entering GotFocus on the new.
    Control* ActiveControl() const noexcept { return active_; }
    // Disabled, hidden or unfocusable controls fail with 5.
    void SetFocus(Control& control);
    // Focus leaves the form's controls (LostFocus on the active one).
    void KillFocus();

    // Window properties.
    const std::string& Caption() const noexcept { return caption_; }
    void SetCaption(std::string caption);
    const Picture& Icon() const noexcept { return icon_; }
    void SetIcon(Picture icon);
    forms::WindowState WindowState() const noexcept { return state_; }
    // 0, 1, 2; other values fail with 380.
    void SetWindowState(int state);
    double Top() const noexcept { return top_; }     // twips
    double Left() const noexcept { return left_; }   // twips
    void SetTop(double twips);
    void SetLeft(double twips);
    forms::MousePointer MousePointer() const noexcept { return pointer_; }
    void SetMousePointer(forms::MousePointer pointer);
    // The grid column that takes the width to spare (the item texts, say), so
    // that a wide control spanning it leaves the other columns as they are; -1
    // spreads the width. Design-time, as the controls' places are.
    int StretchColumn() const noexcept { return stretchColumn_; }
    void SetStretchColumn(int column) noexcept { stretchColumn_ = column; }
    WindowHandle ParentWindow() const noexcept { return parent_; }
    std::int32_t ExStyle() const noexcept { return exStyle_; }

    // Form-level events; set by the design.
    void OnLoad(Handler h) { onLoad_.push_back(std::move(h)); }
    void OnUnload(Handler h) { onUnload_.push_back(std::move(h)); }
    void OnKeyUp(KeyHandler h) { onKeyUp_.push_back(std::move(h)); }
    int FireKeyUp(int keyCode);

    // Views follow the model through observers; the subscription ends with its token.
    [[nodiscard]] Subscription Subscribe(Observer observer);
    void Notify(Control* control, Change change);

private:
    Form(std::shared_ptr<Desktop> desktop, std::string name, Design design);
    void AddControl(std::unique_ptr<Control> control);
    [[noreturn]] void ThrowWrongKind(const Control& c) const;
    void EnsureLoaded();
    void ResetWindow();
    // Drops the controls and handlers the design made, and the window properties.
    void DropDesign();
    // Keeps dropped controls alive until no handler of the form runs any more.
    class EventScope;
    friend class Control;
    friend WindowHandle SetParent(Form& form, WindowHandle parent);
    friend std::int32_t SetWindowLongA(Form& form, int index, std::int32_t value);

    std::shared_ptr<Desktop> desktop_;
    std::string name_;
    Design design_;
    bool loaded_ = false;
    bool loading_ = false;
    bool visible_ = false;
    bool modal_ = false;
    bool unloading_ = false;
    int firing_ = 0;
    std::vector<std::unique_ptr<Control>> controls_;
    std::vector<std::unique_ptr<Control>> dropped_;
    Control* active_ = nullptr;
    std::string caption_;
    Picture icon_;
    forms::WindowState state_ = forms::WindowState::Normal;
    double top_ = 0;
    double left_ = 0;
    forms::MousePointer pointer_ = forms::MousePointer::Default;
    int stretchColumn_ = -1;
    WindowHandle parent_ = 0;
    std::int32_t exStyle_ = 0;
    std::vector<Handler> onLoad_, onUnload_;
    std::vector<KeyHandler> onKeyUp_;
    struct Observers;
    std::shared_ptr<Observers> observers_;
    friend class Subscription;
};

// Ends an observer registration when destroyed; outliving the form is fine.
class Subscription {
public:
    Subscription() = default;
    Subscription(Subscription&&) noexcept = default;
    Subscription& operator=(Subscription&&) noexcept;
    ~Subscription();
    void Reset();
private:
    friend class Form;
    Subscription(std::weak_ptr<Form::Observers> observers, int id) : observers_(std::move(observers)), id_(id) {}
    std::weak_ptr<Form::Observers> observers_;
    int id_ = 0;
};

// The window calls of the host platform. GWL_EXSTYLE is -20; other indexes fail with 380.
inline constexpr int GWL_EXSTYLE = -20;
// Makes the form a child of the window; 0 makes it a top-level window. Returns the old parent.
WindowHandle SetParent(Form& form, WindowHandle parent);
// Returns the old value.
std::int32_t SetWindowLongA(Form& form, int index, std::int32_t value);

// The window system the forms live on. A view implements it; the headless one
// serves tests and batch runs.
class Desktop {
public:
    virtual ~Desktop() = default;
    // A form was shown; views create its window when they have none.
    virtual void Shown(Form& form) = 0;
    // Runs until the form is hidden or unloaded (a local event loop in a real view).
    virtual void RunModal(Form& form) = 0;
    // Whether the handle names a document area of this desktop.
    virtual bool KnowsWindow(WindowHandle handle) const = 0;
    // A form's mouse pointer changed, also while it loads and has no window yet.
    virtual void PointerChanged(Form& /*form*/) {}
};

// The desktop this process's windows live on, as the host set it up before it
// created components; they open their forms there. Null until one is installed.
void InstallDesktop(std::shared_ptr<Desktop> desktop);
std::shared_ptr<Desktop> InstalledDesktop();

// Headless desktop: no windows. A modal show runs the next queued answer; with none
// queued the form is hidden again at once, as if confirmed unchanged.
class HeadlessDesktop : public Desktop {
public:
    using Answer = std::function<void(Form&)>;
    void Shown(Form& form) override;
    void RunModal(Form& form) override;
    bool KnowsWindow(WindowHandle handle) const override;
    void QueueAnswer(Answer answer) { answers_.push_back(std::move(answer)); }
    std::size_t PendingAnswers() const noexcept { return answers_.size(); }
    // Names of the forms a modal show ran for, in order.
    const std::vector<std::string>& ModalRuns() const noexcept { return modalRuns_; }
    void AddWindow(WindowHandle handle) { windows_.push_back(handle); }
    // The form shown last without modality, as long as it lives (a host acts on it).
    std::shared_ptr<Form> LastModeless() const { return lastModeless_.lock(); }
private:
    std::weak_ptr<Form> lastModeless_;
    std::vector<Answer> answers_;
    std::vector<std::string> modalRuns_;
    std::vector<WindowHandle> windows_;
};

}  // namespace kado::forms
