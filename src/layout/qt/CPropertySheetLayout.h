#pragma once

#include <QPointer>
#include <QRect>
#include <QWidget>
#include <cstdint>
#include <vector>

#include "layout/qt/WidgetLayout.h"

class QFrame;
class QPushButton;
class QTabBar;

namespace kavelmark
{

class CPropertyPageLayout;

// A sheet of CPropertyPageLayout pages: with a tab strip, or as a wizard with "back" and
// "next" buttons under the pages. The sheet lays out its own tree (the page area, and the
// wizard's separator and buttons); when an activated page needs more room, the sheet
// grows and sends a SizedSheetEvent to its parent, so that a CDialogLayout holding the
// sheet in its tree grows with it.
//
//   auto* sheet = new CPropertySheetLayout(dialog);
//   sheet->AddPage(new GeneralPage);
//   sheet->AddPage(new DetailsPage);
//   sheet->Create(); // activates the first page
class CPropertySheetLayout : public QWidget
{
    Q_OBJECT

public:
    explicit CPropertySheetLayout(QWidget* parent = nullptr, bool wizard = false, std::uint32_t layoutFlags = 0);
    ~CPropertySheetLayout() override;

    // The sheet takes the page over (as its child).
    void AddPage(CPropertyPageLayout* page);
    // Builds the sheet's tree and activates the first page.
    bool Create();

    bool IsWizard() const
    {
        return wizard_;
    }
    int PageCount() const
    {
        return static_cast<int>(pages_.size());
    }
    CPropertyPageLayout* Page(int index) const;
    int IndexOf(const CPropertyPageLayout* page) const;
    int ActiveIndex() const
    {
        return active_;
    }
    CPropertyPageLayout* ActivePage() const
    {
        return Page(active_);
    }
    bool SetActivePage(int index);
    // The wizard buttons' actions; each asks the active page first.
    void Back();
    void Next();

    // The item of the page area (tab strip and page) in the sheet's own tree.
    CLayoutItem* PageItem();
    // How much taller the page area is than a page on it.
    int TabAreaHeight() const;
    // Where the active page lies in the page area.
    QRect DisplayRect() const;
    // After a page raised the page area's minimum: recomputes the sheet's minimum, grows
    // to it and tells the parent.
    void RecalcSize();
    QSize MinimumLayoutSize() const
    {
        return layout_.MinimumSize();
    }
    QTabBar* TabBar() const
    {
        return tabBar_;
    }
    QPushButton* BackButton() const
    {
        return back_;
    }
    QPushButton* NextButton() const
    {
        return next_;
    }
    CLayoutManager& Layout()
    {
        return layout_.Layout();
    }

signals:
    void PageActivated(int index);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void RunLayout();
    void PlacePages();
    void ApplyTrackSize();

    WidgetLayout layout_;
    bool wizard_;
    std::uint32_t layoutFlags_;
    QWidget* pageArea_;
    QTabBar* tabBar_;
    QFrame* separator_ = nullptr;
    QPushButton* back_ = nullptr;
    QPushButton* next_ = nullptr;
    std::vector<QPointer<CPropertyPageLayout>> pages_;
    int active_ = -1;
    bool placing_ = false;
};

} // namespace kavelmark
