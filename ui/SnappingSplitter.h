// SplitterLR: a splitter whose collapsible neighbours snap shut as soon as they are dragged below
// their least width. Qt's own splitter only lets go of a neighbour dragged to half that width.
// Side by side only (a horizontal splitter), as the window has it.
#pragma once

#include <QSplitter>
#include <QSplitterHandle>

class SnappingSplitterHandle : public QSplitterHandle {
    Q_OBJECT
public:
    using QSplitterHandle::QSplitterHandle;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // The event moved to the splitter's far edge when it would leave the neighbour after the
    // handle narrower than its least width and that neighbour may collapse; otherwise a copy.
    QMouseEvent Snapped(const QMouseEvent& event) const;

    int pressOffset_ = 0;
};

class SnappingSplitter : public QSplitter {
    Q_OBJECT
public:
    using QSplitter::QSplitter;

protected:
    QSplitterHandle* createHandle() override;
};
