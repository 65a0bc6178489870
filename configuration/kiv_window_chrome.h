#pragma once

#include <QList>
#include <QSize>

class QDialog;
class QWidget;

// The panel and its dialogs draw their own frame: no system title bar, a
// transparent margin around the frame, and a soft shadow in that margin.
// Where the windowing system draws no translucent windows the margin and
// the shadow are left out, since they would show as a black band.
namespace kiv_window_chrome {

// Width of the margin that holds the shadow.
constexpr int kShadowMargin = 9;

// kShadowMargin where translucent windows are drawn, 0 elsewhere.
int shadowMargin();

// Makes `dialog` frameless and translucent and gives `frame` its shadow,
// and a background of its own so that it stays legible without a skin.
void applyFrameShadow(QDialog* dialog, QWidget* frame);

// Sets the margin around `frame` (the only item of the dialog's layout) and
// switches its shadow for the current answer of the platform layer.
void updateFrame(QDialog* dialog, QWidget* frame);

// Moves the contents of `page` (laid out in a QVBoxLayout) into a scroll
// area that fills the page, so that the page may become smaller than them.
void scrollPage(QWidget* page);
// The same for `pages`, done when `window` is first polished (as it is first
// shown): moving every page's widgets costs as much as building the form, and
// a host builds the panel at start-up long before the user opens it.
void scrollPagesWhenPolished(QWidget* window, const QList<QWidget*>& pages);

// A size grip in the bottom right corner of `frame`, which resizes the window.
void addSizeGrip(QWidget* frame);

// Keeps `dialog` within the available area of its screen: its minimum size
// shrinks to that area where the area is smaller, never below it otherwise.
void fitScreen(QDialog* dialog, const QSize& formMinimum);

} // namespace kiv_window_chrome
