#include "ui/SnappingSplitter.h"

#include <QMouseEvent>

void SnappingSplitterHandle::mousePressEvent(QMouseEvent* event)
{
    // Where on the handle it was grabbed, as the splitter itself reckons the new position.
    pressOffset_ = event->position().toPoint().x();
    QSplitterHandle::mousePressEvent(event);
}

void SnappingSplitterHandle::mouseMoveEvent(QMouseEvent* event)
{
    QMouseEvent snapped = Snapped(*event);
    QSplitterHandle::mouseMoveEvent(&snapped);
}

void SnappingSplitterHandle::mouseReleaseEvent(QMouseEvent* event)
{
    QMouseEvent snapped = Snapped(*event);
    QSplitterHandle::mouseReleaseEvent(&snapped);
}

QMouseEvent SnappingSplitterHandle::Snapped(const QMouseEvent& event) const
{
    QSplitter* owner = splitter();
    const int index = owner->indexOf(const_cast<SnappingSplitterHandle*>(this));
    QWidget* after = owner->widget(index);
    QPointF global = event.globalPosition();
    if (after && owner->orientation() == Qt::Horizontal && owner->isCollapsible(index)) {
        const int handleLeft = parentWidget()->mapFromGlobal(global.toPoint()).x() - pressOffset_;
        // A collapsed last neighbour has no width of its own: its place ends at the splitter's.
        const int afterRight =
            index == owner->count() - 1 ? owner->contentsRect().right() + 1 : after->geometry().right() + 1;
        // The handle's own width, not the wider area Qt gives a thin handle to grab it by.
        const int afterWidth = afterRight - handleLeft - owner->handleWidth();
        if (afterWidth < after->minimumWidth())
            global.rx() += afterRight - handleLeft;
    }
    return QMouseEvent(event.type(), mapFromGlobal(global), global, event.button(), event.buttons(),
                       event.modifiers());
}

QSplitterHandle* SnappingSplitter::createHandle() { return new SnappingSplitterHandle(orientation(), this); }
