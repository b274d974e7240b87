// The command set: the controls that a calculation pass disables and the intake closing step
// enables, always all of them together. The form names them once, here; nothing else switches
// them one by one.
#pragma once

#include <initializer_list>
#include <vector>

class QAction;
class QWidget;

class CommandSet {
public:
    // The menus and the toolbar as a whole, then the entries and buttons that have a state of
    // their own besides (they start disabled while the set's menus start enabled).
    CommandSet(std::initializer_list<QWidget*> widgets, std::initializer_list<QAction*> actions);

    void SetEnabled(bool enabled);
    // Switches every control off and keeps its state; Release puts each one back.
    void Hold();
    void Release();

private:
    std::vector<QWidget*> widgets_;
    std::vector<QAction*> actions_;
    std::vector<bool> heldWidgets_;
    std::vector<bool> heldActions_;
};
