#pragma once

class QDialog;
class QWidget;

// The panel and its dialogs draw their own frame: no system title bar, a
// transparent margin around the frame, and a soft shadow in that margin.
namespace kiv_window_chrome {

// Width of the margin that holds the shadow.
constexpr int kShadowMargin = 9;

// Makes `dialog` frameless and translucent and gives `frame` its shadow.
void applyFrameShadow(QDialog* dialog, QWidget* frame);

} // namespace kiv_window_chrome
