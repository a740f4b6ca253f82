#pragma once

#include <QPointer>
#include <QWidget>

namespace kavelmark
{

// A place holder in a dialog's tree for a window that is no control of the dialog, such
// as a CFormViewLayout: the companion is kept on the box's rectangle. Without a companion
// the box shows a sunken frame, so that the empty place is visible.
class CFormViewBox : public QWidget
{
    Q_OBJECT

public:
    explicit CFormViewBox(QWidget* parent = nullptr);

    // The companion should be a sibling of the box (another parent works through mapping).
    void SetCompanion(QWidget* companion);
    QWidget* Companion() const
    {
        return companion_;
    }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void FollowBox();

    QPointer<QWidget> companion_;
};

} // namespace kavelmark
