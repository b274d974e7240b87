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
