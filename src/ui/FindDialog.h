#pragma once

#include <QString>
#include <functional>

#include "layout/qt/CDialogLayout.h"
#include "platform/ControlIds.h"

class QLineEdit;

namespace kavelmark
{

// "Suchen": one text field and "Weitersuchen", which looks for the next match each time it
// is pressed and leaves the dialog open; "Abbrechen" closes it.
class FindDialog final : public CDialogLayout
{
    Q_OBJECT

public:
    static constexpr int kTextLabelId = control::find::kTextLabel;
    static constexpr int kTextId = control::find::kText;

    // findNext is called with the text at every "Weitersuchen".
    FindDialog(QWidget* parent, const QString& text, std::function<void(const QString&)> findNext);

    QLineEdit* TextEdit() const;
    // The text as last searched for.
    const QString& Text() const
    {
        return text_;
    }

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    QString text_;
    std::function<void(const QString&)> findNext_;
};

} // namespace kavelmark
