// What the window does with the names of its own start and with the request of a later start:
// it takes the names in as one more drop, exactly as if they had been dropped on it (also
// during a pass), and a later start brings the window to the front first.
#pragma once

#include <string>
#include <vector>

class QWidget;
class SingleWindow;
class TSumoraForm;

// Once the event loop runs, so that a refusal box opens over the shown window.
// With recursive, folders are taken with every file below them (Sumora --recursive).
void TakeStartNames(TSumoraForm& form, const std::vector<std::string>& names, bool recursive = false);

// Un-minimises, raises and activates the window; the desktop's activation token, passed on
// from the later start, lets a Wayland compositor grant the focus.
void BringToFront(QWidget& window, const std::string& activationToken);

void ServeLaterStarts(SingleWindow& single, TSumoraForm& form);
