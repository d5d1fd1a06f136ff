// The window's controls as plain objects. They hold exactly the state that the
// program reads and writes; a frontend (the Qt window, the terminal) renders
// them and learns of every change through the observer callback.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace stb {

// A colour: an RGB value or one of the system colours that the frontend
// resolves from its own palette.
struct TColor {
  enum class Kind : uint8_t { Rgb, BtnHighlight, BtnFace, InactiveBorder, Menu, WindowText };
  Kind kind = Kind::Rgb;
  uint8_t r = 0, g = 0, b = 0;

  static constexpr TColor Rgb(uint8_t r, uint8_t g, uint8_t b) { return {Kind::Rgb, r, g, b}; }
  static constexpr TColor System(Kind k) { return {k, 0, 0, 0}; }
  friend bool operator==(const TColor&, const TColor&) = default;
};

inline constexpr TColor clBlack = TColor::Rgb(0, 0, 0);
inline constexpr TColor clWhite = TColor::Rgb(255, 255, 255);
inline constexpr TColor clGray = TColor::Rgb(128, 128, 128);
inline constexpr TColor clGreen = TColor::Rgb(0, 128, 0);
inline constexpr TColor clAqua = TColor::Rgb(0, 255, 255);
inline constexpr TColor clRed = TColor::Rgb(255, 0, 0);
inline constexpr TColor clBlue = TColor::Rgb(0, 0, 255);
inline constexpr TColor clMaroon = TColor::Rgb(128, 0, 0);
inline constexpr TColor clBtnHighlight = TColor::System(TColor::Kind::BtnHighlight);
inline constexpr TColor clBtnFace = TColor::System(TColor::Kind::BtnFace);
inline constexpr TColor clInactiveBorder = TColor::System(TColor::Kind::InactiveBorder);
inline constexpr TColor clMenu = TColor::System(TColor::Kind::Menu);
inline constexpr TColor clWindowText = TColor::System(TColor::Kind::WindowText);

class TControl;

// What changed: a property, a line appended to a log, or the log cleared.
enum class TChange { Property, LineAdded, Cleared };
using TChangeObserver = std::function<void(TControl&, TChange)>;

class TControl {
 public:
  explicit TControl(std::string name) : name_(std::move(name)) {}
  TControl(const TControl&) = delete;
  TControl& operator=(const TControl&) = delete;
  virtual ~TControl() = default;

  const std::string& Name() const { return name_; }

  bool Visible() const { return visible_; }
  void SetVisible(bool v) { Set(visible_, v); }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v) { Set(enabled_, v); }

  // One observer per control; the frontend that renders it installs it.
  TChangeObserver OnChanged;

 protected:
  template <class T>
  void Set(T& field, const T& value) {
    if (field == value) return;
    field = value;
    Notify(TChange::Property);
  }
  void Notify(TChange c) {
    if (OnChanged) OnChanged(*this, c);
  }

 private:
  std::string name_;
  bool visible_ = true;
  bool enabled_ = true;
};

class TLabel : public TControl {
 public:
  TLabel(std::string name, std::string caption) : TControl(std::move(name)), caption_(std::move(caption)) {}
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& s) { Set(caption_, s); }
  TColor FontColor() const { return font_color_; }
  void SetFontColor(TColor c) { Set(font_color_, c); }
  TColor Color() const { return color_; }
  void SetColor(TColor c) { Set(color_, c); }

 private:
  std::string caption_;
  TColor font_color_ = clWindowText;
  TColor color_ = clBtnFace;
};

class TButton : public TControl {
 public:
  TButton(std::string name, std::string caption) : TControl(std::move(name)), caption_(std::move(caption)) {}
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& s) { Set(caption_, s); }
  // The operator's click: runs the bound handler when the button is enabled.
  void Click() {
    if (Enabled() && OnClick) OnClick();
  }
  std::function<void()> OnClick;

 private:
  std::string caption_;
};

class TEdit : public TControl {
 public:
  explicit TEdit(std::string name) : TControl(std::move(name)) {}
  const std::string& Text() const { return text_; }
  // Set by the program or by the operator's typing; both just store the text.
  void SetText(const std::string& s) { Set(text_, s); }
  TColor Color() const { return color_; }
  void SetColor(TColor c) { Set(color_, c); }

 private:
  std::string text_;
  TColor color_ = clInactiveBorder;
};

// A select-only drop-down list.
class TComboBox : public TControl {
 public:
  explicit TComboBox(std::string name) : TControl(std::move(name)) {}
  const std::vector<std::string>& Items() const { return items_; }
  void SetItems(std::vector<std::string> items) {
    items_ = std::move(items);
    if (index_ >= static_cast<int>(items_.size())) index_ = -1;
    Notify(TChange::Property);
  }
  int ItemIndex() const { return index_; }
  // A selection made by the program: an index outside the list selects
  // nothing, and the change event is not raised.
  void SetItemIndex(int i) {
    if (i < 0 || i >= static_cast<int>(items_.size())) i = -1;
    Set(index_, i);
  }
  // The text of the selected entry; empty when nothing is selected.
  std::string Text() const { return index_ >= 0 ? items_[static_cast<size_t>(index_)] : std::string(); }
  // A selection made by the operator: raises OnChange when enabled.
  void Select(int i) {
    if (!Enabled()) return;
    SetItemIndex(i);
    if (OnChange) OnChange();
  }
  std::function<void()> OnChange;

 private:
  std::vector<std::string> items_;
  int index_ = -1;
};

// A progress bar with the range 0 to 100; positions outside it are clamped.
class TProgressBar : public TControl {
 public:
  explicit TProgressBar(std::string name) : TControl(std::move(name)) {}
  int Position() const { return position_; }
  void SetPosition(long long p) {
    int v = p < 0 ? 0 : p > 100 ? 100 : static_cast<int>(p);
    Set(position_, v);
  }

 private:
  int position_ = 0;
};

// The read-only log. Lines are byte strings, shown as they are.
class TMemo : public TControl {
 public:
  explicit TMemo(std::string name) : TControl(std::move(name)) {}
  const std::vector<std::string>& Lines() const { return lines_; }
  void Add(const std::string& line) {
    lines_.push_back(line);
    Notify(TChange::LineAdded);
  }
  void Clear() {
    lines_.clear();
    Notify(TChange::Cleared);
  }
  TColor FontColor() const { return font_color_; }
  void SetFontColor(TColor c) { Set(font_color_, c); }
  // Operator's key press while the log has the focus.
  void KeyPress(char key) {
    if (OnKeyPress) OnKeyPress(key);
  }
  std::function<void(char)> OnKeyPress;

 private:
  std::vector<std::string> lines_;
  TColor font_color_ = clWindowText;
};

// A timer: interval 0 means stopped. The frontend runs it and calls Tick().
class TTimer : public TControl {
 public:
  explicit TTimer(std::string name) : TControl(std::move(name)) {}
  int Interval() const { return interval_; }
  bool Running() const { return interval_ > 0; }
  void SetInterval(int ms) { Set(interval_, ms < 0 ? 0 : ms); }
  void Stop() { SetInterval(0); }
  void Tick() {
    if (Running() && OnTimer) OnTimer();
  }
  std::function<void()> OnTimer;

 private:
  int interval_ = 0;
};

// The window itself: caption and icon.
class TForm : public TControl {
 public:
  enum class Icon { Main, Own };
  explicit TForm(std::string name) : TControl(std::move(name)) {}
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& s) { Set(caption_, s); }
  Icon WindowIcon() const { return icon_; }
  void SetWindowIcon(Icon i) { Set(icon_, i); }
  // Operator's key press while the window itself has the focus.
  void KeyPress(char key) {
    if (OnKeyPress) OnKeyPress(key);
  }
  std::function<void(char)> OnKeyPress;

 private:
  std::string caption_;
  Icon icon_ = Icon::Main;
};

// The open-file dialog's settings and result.
struct TOpenDialog {
  std::string DefaultExt;
  std::string Filter;  // "text|pattern|text|pattern..."
  std::string InitialDir;
  std::string FileName;  // the chosen file's full name after a successful run
};

}  // namespace stb
