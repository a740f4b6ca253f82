#pragma once

#include "crypto/PasswordGenerator.h"
#include "layout/qt/CDialogLayout.h"
#include "platform/SecureString.h"

class QMenu;
class QPlainTextEdit;

namespace kavelmark
{

// "Kennwort erzeugen": length and character groups, a candidate drawn at once and at every
// change, its strength in bits. After OK, Password() is the candidate shown.
class GeneratorDialog final : public CDialogLayout
{
    Q_OBJECT

public:
    static constexpr int kLengthLabelId = 1060;
    static constexpr int kLengthId = 1061;
    static constexpr int kUpperId = 1062;
    static constexpr int kLowerId = 1063;
    static constexpr int kDigitsId = 1064;
    static constexpr int kSpecialId = 1065;
    static constexpr int kCandidateLabelId = 1066;
    static constexpr int kCandidateId = 1067;
    static constexpr int kStrengthId = 1068;
    static constexpr int kNewId = 1069;
    static constexpr const char* kMenuText = "Kennwort erzeugen...";

    explicit GeneratorDialog(QWidget* parent = nullptr);

    const SecureString& Password() const
    {
        return candidate_;
    }
    PasswordRules Rules() const;
    // Draws a new candidate under the rules shown.
    void Regenerate();

    // Adds "Kennwort erzeugen..." to the context menu of a value field; OK replaces the
    // field's text with the password (undoable like typing).
    static void OfferIn(QPlainTextEdit& field);
    // The field's context menu with that item (its owner deletes it).
    static QMenu* FieldMenu(QPlainTextEdit& field);

protected:
    bool OnInitDialog() override;

private:
    SecureString candidate_;
};

} // namespace kavelmark
