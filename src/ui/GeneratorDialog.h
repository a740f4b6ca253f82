#pragma once

#include "crypto/PasswordGenerator.h"
#include "layout/qt/CDialogLayout.h"
#include "platform/ControlIds.h"
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
    static constexpr int kLengthLabelId = control::generator::kLengthLabel;
    static constexpr int kLengthId = control::generator::kLength;
    static constexpr int kUpperId = control::generator::kUpper;
    static constexpr int kLowerId = control::generator::kLower;
    static constexpr int kDigitsId = control::generator::kDigits;
    static constexpr int kSpecialId = control::generator::kSpecial;
    static constexpr int kCandidateLabelId = control::generator::kCandidateLabel;
    static constexpr int kCandidateId = control::generator::kCandidate;
    static constexpr int kStrengthId = control::generator::kStrength;
    static constexpr int kNewId = control::generator::kNew;
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
