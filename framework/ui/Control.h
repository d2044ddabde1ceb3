// The common part of every control model: name, place in the window, geometry,
// visibility, enabling and text style.
//
// A control belongs to one window and is created by it (Window::AddControl),
// with a parent: the window itself (no parent), a PagePanel page, or a
// GroupBox. A control on a PagePanel page, or inside a group box on a page,
// is shown only while the panel shows that page. Positions are in pixels
// from the top-left corner of the window's content area, whatever the parent.
//
// Properties are read with Name() and set with Name(value), the names the
// program uses. Every change tells the window's observer (WindowObserver), so
// a front can redraw later; changes come from any thread that holds the baton.
#pragma once

#include <cstdint>
#include <utility>

#include "framework/core/text/String.h"

namespace framework {

class Window;

enum class TextAlignment : std::uint8_t { Default, Left, Center, Right };

// Where a new control goes; filled by Window::AddControl.
struct ControlPlace {
  Window* window = nullptr;
  String name;
  class Control* parent = nullptr;  // nullptr: the window itself
  std::int32_t page = -1;           // page of a PagePanel parent; -1 otherwise
};

class Control {
 public:
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const String& Name() const { return name_; }
  Window& OwnerWindow() const { return *window_; }
  // The container: nullptr for the window itself, else a PagePanel or a
  // GroupBox.
  Control* Parent() const { return parent_; }
  // The PagePanel page the control lives on (through its group box, if any);
  // -1 for a control shown on every page.
  std::int32_t Page() const;

  std::int32_t Left() const { return left_; }
  void Left(std::int32_t v) { Update(left_, v); }
  std::int32_t Top() const { return top_; }
  void Top(std::int32_t v) { Update(top_, v); }
  std::int32_t Width() const { return width_; }
  void Width(std::int32_t v) { Update(width_, v); }
  std::int32_t Height() const { return height_; }
  void Height(std::int32_t v) { Update(height_, v); }
  // Left, top, width and height at once (layout code).
  void Bounds(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height);

  bool Visible() const { return visible_; }
  void Visible(bool v) { Update(visible_, v); }
  bool Enabled() const { return enabled_; }
  void Enabled(bool v) { Update(enabled_, v); }

  // Text style, in points; 0 is the system size.
  std::int32_t TextSize() const { return textSize_; }
  void TextSize(std::int32_t v) { Update(textSize_, v); }
  bool Bold() const { return bold_; }
  void Bold(bool v) { Update(bold_, v); }
  bool Italic() const { return italic_; }
  void Italic(bool v) { Update(italic_, v); }
  bool Underline() const { return underline_; }
  void Underline(bool v) { Update(underline_, v); }
  TextAlignment TextAlign() const { return textAlign_; }
  void TextAlign(TextAlignment v) { Update(textAlign_, v); }
  bool MultiLine() const { return multiLine_; }
  void MultiLine(bool v) { Update(multiLine_, v); }

  // What the person sees: Visible, every container visible, the page shown.
  bool Shown() const;
  // Enabled, and every container enabled.
  bool EffectivelyEnabled() const;

 protected:
  explicit Control(const ControlPlace& place);

  // Tells the window's observer that this control changed.
  void Changed();

  template <typename T>
  void Update(T& field, const T& value) {
    if (field == value) return;
    field = value;
    Changed();
  }
  // Texts count as changed when their bytes or tag differ, not by text
  // equality: "the same text in another encoding" must still reach the front.
  void Update(String& field, const String& value);

  // Raises one of this control's events (the events' Raise is private).
  template <typename EventType, typename... Args>
  static auto Raise(const EventType& event, Args&&... args) {
    return event.Raise(std::forward<Args>(args)...);
  }

 private:
  Window* window_;
  String name_;
  Control* parent_;
  std::int32_t page_;

  std::int32_t left_ = 0;
  std::int32_t top_ = 0;
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  bool visible_ = true;
  bool enabled_ = true;
  std::int32_t textSize_ = 0;
  bool bold_ = false;
  bool italic_ = false;
  bool underline_ = false;
  TextAlignment textAlign_ = TextAlignment::Default;
  bool multiLine_ = false;
};

}  // namespace framework
