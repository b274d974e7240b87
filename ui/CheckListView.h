// NeedCheckFileList: a report-style list with grid lines, one whole row selected at a time,
// and two fixed columns between two that share the rest of the width.
#pragma once

#include <QTableView>

class CheckListView : public QTableView {
    Q_OBJECT
public:
    static constexpr int kStatusWidth = 50;
    static constexpr int kSizeWidth = 80;
    static constexpr int kVerdictWidth = 70;  // only while the list shows verdicts

    explicit CheckListView(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;

    // The name and path columns share what the fixed ones leave of the client width in equal
    // parts, the name column taking the odd pixel.
    void ShareColumnWidths();

protected:
    // Also called for the viewport's resizes, so a scroll bar coming or going counts too.
    void resizeEvent(QResizeEvent* event) override;
    // The check list has no copy command: Ctrl+C here does nothing, rather than putting the
    // current cell on the clipboard past the program's own clipboard commands.
    void keyPressEvent(QKeyEvent* event) override;
};
