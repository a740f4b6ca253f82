#pragma once

#include <QColor>
#include <QCursor>
#include <QFont>
#include <QLabel>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <optional>

namespace kavelmark
{

// Turns a static text of a dialog into a web link: underlined text in link colours, a hand
// pointer over it, the target as tool tip, and a click that opens the target in the
// desktop's web browser. The label keeps showing its own text, which may differ from the
// target.
//
// The control takes over a label that the dialog template made (Attach), the way the
// dialog binds its controls; the owner then calls SetUrl.
class HyperlinkControl final : public QObject
{
    Q_OBJECT

public:
    // Results of opening an address: above kOpened the browser was started; 0 to 32 say
    // why not, in the codes of the messages of ReportOpenError.
    static constexpr int kNoHandler = 0;
    static constexpr int kOpened = 32;

    // Starts the browser with the address without waiting for it and returns a result as
    // above. Replaceable so that tests need no browser.
    using Opener = std::function<int(const QString& url)>;
    // Installs the opener and returns the previous one; an empty one restores the desktop's.
    static Opener SetOpener(Opener opener);

    static constexpr const char* kOpenErrorText = "Unable to open hyperlink:\n\n";
    // The line the message shows for a result code.
    static QString OpenErrorLine(int code);

    HyperlinkControl();
    ~HyperlinkControl() override;

    // Takes over the label (again, when the dialog made a new one); does nothing for the
    // label it already has.
    void Attach(QLabel* label);
    QLabel* Label() const
    {
        return label_;
    }

    // The target, and the tool tip (the address itself when the text is empty).
    void SetUrl(const QString& url, const QString& toolTip = QString());
    const QString& Url() const
    {
        return url_;
    }
    void SetVisited(bool visited);
    bool Visited() const
    {
        return visited_;
    }
    bool Hovering() const
    {
        return hovering_;
    }
    // The colour the text is drawn in now: the hover colour also while it has the focus.
    QColor TextColour() const;

    // Shrinks the label to its text, keeping a centred or right-aligned text where it was.
    void FitToText();
    // What a click does: opens the target; a failure beeps, tells why and clears `visited`.
    void OnClicked();

    const QColor linkColour{0, 0, 238};
    const QColor visitedColour{85, 26, 139};
    const QColor hoverColour;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int OpenUrl(const QString& url);
    void ReportOpenError(int code);
    void SetHovering(bool hovering);
    void ApplyColour();

    QPointer<QLabel> label_;
    bool hovering_ = false;
    bool visited_ = false;
    QString url_;
};

} // namespace kavelmark
