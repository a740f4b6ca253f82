#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "layout/qt/WidgetLayout.h"

namespace kavelmark
{

class CPropertySheetLayout;

// A page of a CPropertySheetLayout with its own layout tree. The sheet creates a page when
// it is first activated: OnInitDialog runs then, and a derived page builds its tree there,
// like a CDialogLayout:
//
//   class GeneralPage : public CPropertyPageLayout
//   {
//   public:
//       GeneralPage() : CPropertyPageLayout(QStringLiteral("Allgemein"))
//       {
//           SetControl(10, new QLabel(QStringLiteral("&Name")));
//           SetControl(11, new QLineEdit);
//       }
//   protected:
//       bool OnInitDialog() override
//       {
//           CPropertyPageLayout::OnInitDialog(); // first: fresh tree
//           BeginPane(LAYOUT_HORIZONTAL);
//           AddControl(10, LAYOUT_FIXED);
//           AddControl(11, LAYOUT_FIXED_HEIGHT);
//           EndPane(); // the outermost one fixes the page's minimum size
//           return true;
//       }
//   };
//
// A page whose minimum is larger than the sheet's page area enlarges the sheet when it is
// activated.
class CPropertyPageLayout : public QWidget
{
    Q_OBJECT

public:
    explicit CPropertyPageLayout(const QString& title, QWidget* parent = nullptr);
    ~CPropertyPageLayout() override;

    QString Title() const
    {
        return title_;
    }
    CPropertySheetLayout* Sheet() const
    {
        return sheet_;
    }
    // Runs OnInitDialog the first time; the sheet calls it on the first activation.
    bool Create();
    bool Created() const
    {
        return created_;
    }

    // Makes `widget` a child of the page known under `id` (see QtWidgetLayoutOwner).
    void SetControl(int id, QWidget* widget)
    {
        layout_.SetControl(id, widget);
    }
    void SetControl(int id, QWidget* widget, ControlKind kind)
    {
        layout_.SetControl(id, widget, kind);
    }
    QWidget* Control(int id) const
    {
        return layout_.Control(id);
    }

    // Building operations (see CLayoutManager); call them from OnInitDialog.
    bool BeginPane(int orientation, const LayoutRect* borders = nullptr, const std::string& name = {});
    bool AddControl(int controlId, int mode, int share = 0, std::uint32_t flags = 0);
    void AddSpace(int size, int minimum);
    void SetAlignment(int alignment);
    bool AddGroup(int frameId, int orientation, int buddyId, int groupKind, std::uint32_t flags);
    bool EndPane();

    // The laid-out minimum, known once the outermost EndPane has run.
    int MinWidth() const
    {
        return minWidth_;
    }
    int MinHeight() const
    {
        return minHeight_;
    }
    CLayoutManager& Layout()
    {
        return layout_.Layout();
    }

    // Called by the sheet when the page becomes the active one: enlarges the sheet when the
    // page needs more room than its page area has.
    virtual bool OnSetActive();
    // Wizard buttons: 0 moves on to the neighbour page, -1 stays. The first page stays on
    // "back" and the last one on "next".
    virtual int OnWizardBack();
    virtual int OnWizardNext();

protected:
    // Starts a fresh tree on a 10 x 10 page; derived pages call it first, then build.
    virtual bool OnInitDialog();
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class CPropertySheetLayout;

    QString title_;
    WidgetLayout layout_;
    QPointer<CPropertySheetLayout> sheet_;
    int minWidth_ = 0;
    int minHeight_ = 0;
    bool created_ = false;
};

} // namespace kavelmark
