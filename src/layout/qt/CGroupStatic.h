#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <vector>

namespace kavelmark
{

// The frame over a group box: an etched rectangle with the caption in its top line, or a
// single etched separator while it frames no windows. It sits below its members in
// z-order and leaves their rectangles unpainted, so it never draws over them; the window
// behind it paints there. A buddy (typically a check box) is kept in the caption line.
class CGroupStatic : public QWidget
{
    Q_OBJECT

public:
    explicit CGroupStatic(QWidget* parent);

    void SetCaption(const QString& caption);
    QString Caption() const
    {
        return caption_;
    }
    // Stores the buddy, appends it to the members and sets the caption to one blank.
    void SetBuddy(QWidget* buddy);
    QWidget* Buddy() const
    {
        return buddy_;
    }
    void AddMember(QWidget* member);
    const std::vector<QPointer<QWidget>>& Members() const
    {
        return members_;
    }
    // True while it paints the separator instead of the frame.
    bool IsSeparator() const
    {
        return members_.empty();
    }

protected:
    void paintEvent(QPaintEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void PlaceBuddy();

    QString caption_;
    int buddyWidth_ = 0;
    // The buddy's width before it was last moved; the second strip stands there.
    int buddyWidthBeforeMove_ = 0;
    QPointer<QWidget> buddy_;
    std::vector<QPointer<QWidget>> members_;
};

} // namespace kavelmark
