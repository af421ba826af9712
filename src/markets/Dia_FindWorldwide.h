#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

// "Find Quote Worldwide" (dialog 133): a quote symbol and one of twelve
// countries. Accepted only with a symbol and a known country; the result is
// left in g_strFindText as "CODE:SYMBOL" (symbol upper-cased, not trimmed).
//
// Controls are found by object name "ctl" + resource id: "ctl1000" the
// symbol edit (QLineEdit), "ctl1001" the country list (QComboBox), "ctl1"
// OK and "ctl2" Cancel (QPushButton). Beside OK, "Add to Watchlist"
// ("ctlWatchlist") validates the same way and accepts with
// AddToWatchlist() true: the caller adds the security to the watchlist
// instead of opening its quote window.
class CDia_FindWorldwide : public QDialog {
    Q_OBJECT

public:
    explicit CDia_FindWorldwide(QWidget* parent = nullptr);

    // Runs the dialog modally; QDialog::Accepted after a successful OK.
    int DoModal() { return exec(); }

    // Puts the controls in their opening state: empty symbol with the focus,
    // "United States" selected. Runs again every time the dialog is shown.
    void OnInitDialog();

public slots:
    // The OK button: validates, sets g_strFindText and accepts; on an empty
    // symbol or an unknown country shows a message and stays open.
    void OnOK();
    // The Add to Watchlist button.
    void OnAddToWatchlist();

public:
    bool AddToWatchlist() const { return m_bAddToWatchlist; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    // What OK checks: sets g_strFindText, or shows a message and says false.
    bool ValidateEntry();

    QLineEdit* m_pSymbol = nullptr;
    QComboBox* m_pCountry = nullptr;
    QPushButton* m_pOK = nullptr;
    QPushButton* m_pCancel = nullptr;
    QPushButton* m_pWatchlist = nullptr;
    bool m_bAddToWatchlist = false;
};
