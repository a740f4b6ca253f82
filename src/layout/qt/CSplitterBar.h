#pragma once

#include <QPointer>
#include <QWidget>

#include "layout/CLayoutManager.h"

namespace kavelmark
{

// A bar between two neighbour items of a pane that moves share from one to the other. It
// is an ordinary control of the tree, added between its neighbours with a fixed extent
// along the pane (LAYOUT_FIXED_WIDTH in a horizontal pane, LAYOUT_FIXED_HEIGHT in a
// vertical one); once the tree is finished, SetLayout tells it whose tree it is in:
//
//   AddControl(ID_LEFT_LIST, LAYOUT_STRETCH);
//   AddControl(ID_SPLITTER, LAYOUT_FIXED_WIDTH);
//   AddControl(ID_RIGHT_LIST, LAYOUT_STRETCH);
//   EndPane();
//   splitter->SetLayout(&Layout());
//
// A drag moves (moved pixels x 100 / combined extent of the neighbours) share points from
// one neighbour to the other and lays the tree out again.
class CSplitterBar : public QWidget
{
    Q_OBJECT

public:
    explicit CSplitterBar(QWidget* parent = nullptr);

    void SetLayout(CLayoutManager* layout);
    // The items before and after the bar in its pane; null when there is none, or when it
    // is a gap.
    CLayoutItem* Before() const;
    CLayoutItem* After() const;
    // Whether the neighbours lie side by side (a horizontal pane).
    bool SplitsSideBySide() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    CLayoutItem* OwnItem() const;
    CLayoutItem* Neighbour(int step) const;
    void UpdateCursor();

    CLayoutManager* layout_ = nullptr;
    bool dragging_ = false;
    int pressPosition_ = 0;
    double beforeShare_ = 0;
    double afterShare_ = 0;
    int combinedExtent_ = 0;
};

} // namespace kavelmark
