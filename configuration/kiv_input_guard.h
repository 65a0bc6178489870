#pragma once

#include <functional>

class QLineEdit;
class QPushButton;
class QWidget;

// Keyboard and mouse manners of the panel and its dialogs, kept in filter
// objects that hang below the widgets they serve, so that no widget class
// needs an event handler of its own.
namespace kiv_input_guard {

// Combo boxes and spin boxes below `root` change their value by the wheel
// only while they have focus; otherwise the wheel scrolls their page.
void GuardWheel(QWidget* root);

// Leaves `defaultButton` (may be null) the only default button below
// `root`: Enter never presses a button just because it had focus once.
void KeepOnlyDefault(QWidget* root, QPushButton* defaultButton = nullptr);

// Marks a number field while its text lies outside its QIntValidator's
// range: the dynamic property "kivOutOfRange" (for the skin) and the range
// in its tooltip. What the field holds is left alone.
void MarkOutOfRange(QLineEdit* field);

// A left click anywhere on `widget` runs `action` while `isBlank()` holds.
void OpenOnBlankClick(QWidget* widget, std::function<bool()> isBlank, std::function<void()> action);

} // namespace kiv_input_guard
