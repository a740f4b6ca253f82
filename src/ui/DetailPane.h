#pragma once

#include <QObject>
#include <QTimer>
#include <array>

#include "platform/SecureString.h"
#include "store/PasswordStore.h"

class QLabel;
class QLineEdit;

namespace kavelmark
{

// The selected entry's three values under the list, each behind the label its category gives
// it. A secret value is masked; it shows while its field has the focus and goes back behind its
// mask when the focus leaves or the hide time ("HideTimer") has passed. A masked field holds only
// its mask: the value waits here, in wiped memory.
class DetailPane final : public QObject
{
public:
    DetailPane();

    // The window's labels and fields, once it has made them.
    void Attach(const std::array<QLabel*, 3>& labels, const std::array<QLineEdit*, 3>& fields);
    // Sizes the labels for every label any category of the store can show, so that none is cut.
    void FitLabels(const PasswordStore& store);

    void Show(const PasswordStore& store, PasswordStore::Position entry);
    // Empty labels and fields; a value shown before is wiped.
    void Clear();
    void Reveal(int i);
    void Mask(int i);
    void StopHideTimer()
    {
        hideTimer_.stop();
    }

    // The value of field i, also while the field shows only its mask.
    const SecureString& Value(int i) const
    {
        return values_.at(static_cast<std::size_t>(i - 1));
    }
    bool HideTimerActive() const
    {
        return hideTimer_.isActive();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetMasked(int i, bool masked);

    std::array<QLabel*, 3> labels_{};
    std::array<QLineEdit*, 3> fields_{};
    std::array<bool, 3> secret_{};
    std::array<SecureString, 3> values_;
    QTimer hideTimer_;
};

} // namespace kavelmark
