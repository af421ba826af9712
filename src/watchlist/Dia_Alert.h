#pragma once

#include <QDialog>

#include "watchlist/WatchlistCore.h"

class QLineEdit;

// The alert rules of one watchlist row: at or above a price, at or below a
// price, a move of more than N % from the previous close. An empty field is
// no rule. Fields: "alertAbove", "alertBelow", "alertMove" (QLineEdit), read
// with C-locale numbers.
class CDia_Alert : public QDialog {
    Q_OBJECT

public:
    CDia_Alert(const std::string& symbol, const AlertRule& rule, QWidget* parent = nullptr);

    const AlertRule& Rule() const { return m_rule; }

    // OK: reads the fields; a field that is not a positive number shows a
    // message and keeps the dialog open.
    void accept() override;

private:
    QLineEdit* m_pAbove;
    QLineEdit* m_pBelow;
    QLineEdit* m_pMove;
    AlertRule m_rule;
};

// A field's text as a rule value: empty is none; false when it is not a
// positive number.
bool ParseAlertValue(const std::string& text, std::optional<double>& value);
