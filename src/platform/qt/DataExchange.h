#pragma once

#include <cstdint>
#include <string>

class QComboBox;
class QString;
class QWidget;

namespace kavelmark
{

// Moves values between a dialog's members and its controls, in one direction per run:
// with saveAndValidate the controls are read into the members and checked, otherwise the
// members are shown in the controls. The first failed check shows its message (exclamation
// icon, caption "Kavelmark"), puts the focus on the control with its text selected and
// turns every later call of the same run into a no-op.
//
//   void DoDataExchange(DataExchange& dx) override
//   {
//       CDialogLayout::DoDataExchange(dx);
//       dx.Text(Control(1031), fileName);
//       dx.UInt(Control(1034), hideTimeMs);
//       dx.MinMaxUInt(hideTimeMs, 0, 360000);
//   }
class DataExchange
{
public:
    explicit DataExchange(bool saveAndValidate) : saveAndValidate_(saveAndValidate)
    {
    }

    bool SaveAndValidate() const
    {
        return saveAndValidate_;
    }
    bool Failed() const
    {
        return failed_;
    }

    // Text of a QLineEdit, QPlainTextEdit, QLabel, button or editable combo box (UTF-8).
    // Line breaks of a QPlainTextEdit are "\r\n" in the member.
    void Text(QWidget* control, std::string& value);
    // A whole number without sign; blanks and tabs around the digits are allowed, and more
    // digits than 32 bits hold read as 4294967295, for the range check to refuse. Anything else
    // is refused with "Geben Sie bitte eine positive ganze Zahl ein.".
    void UInt(QWidget* control, std::uint32_t& value);
    // Checks the value that the last exchange read (only when saving); refused with
    // "Geben Sie bitte eine ganze Zahl zwischen %1 und %2 ein.".
    void MinMaxUInt(std::uint32_t value, std::uint32_t minimum, std::uint32_t maximum);
    // Index of the selected item, -1 for none; an index the list lacks selects nothing.
    void ComboIndex(QWidget* combo, int& index);

private:
    void Fail(const std::string& message);
    // The common start of a transfer: true when the caller is to read the control; false
    // when there is nothing to do or `shown` has been written into the control.
    bool ReadsControl(QWidget* control, const QString& shown);

    bool saveAndValidate_;
    bool failed_ = false;
    QWidget* lastControl_ = nullptr;
};

} // namespace kavelmark
