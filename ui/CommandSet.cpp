#include "ui/CommandSet.h"

#include <QAction>
#include <QWidget>

CommandSet::CommandSet(std::initializer_list<QWidget*> widgets, std::initializer_list<QAction*> actions)
    : widgets_(widgets), actions_(actions)
{
}

void CommandSet::SetEnabled(bool enabled)
{
    for (QWidget* widget : widgets_)
        widget->setEnabled(enabled);
    for (QAction* action : actions_)
        action->setEnabled(enabled);
}

void CommandSet::Hold()
{
    heldWidgets_.clear();
    heldActions_.clear();
    for (QWidget* widget : widgets_)
        heldWidgets_.push_back(widget->isEnabled());
    for (QAction* action : actions_)
        heldActions_.push_back(action->isEnabled());
    SetEnabled(false);
}

void CommandSet::Release()
{
    if (heldWidgets_.size() != widgets_.size() || heldActions_.size() != actions_.size())
        return;
    for (size_t i = 0; i < widgets_.size(); ++i)
        widgets_[i]->setEnabled(heldWidgets_[i]);
    for (size_t i = 0; i < actions_.size(); ++i)
        actions_[i]->setEnabled(heldActions_[i]);
}
