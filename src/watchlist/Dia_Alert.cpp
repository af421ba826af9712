#include "watchlist/Dia_Alert.h"

#include <cmath>
#include <cstdlib>

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

#include "base/CText.h"
#include "base/MessageBox.h"
#include "base/QtText.h"

bool ParseAlertValue(const std::string& text, std::optional<double>& value)
{
    const std::string trimmed = TrimWhitespace(text);
    value.reset();
    if (trimmed.empty())
        return true;
    // Digits and one point only, so "1,5" or "12abc" is refused rather than
    // read as something else.
    int points = 0;
    for (char c : trimmed) {
        if (c == '.')
            ++points;
        else if (c < '0' || c > '9')
            return false;
    }
    if (points > 1 || trimmed == ".")
        return false;
    const double number = CAtof(trimmed);
    if (!(number > 0) || !std::isfinite(number))
        return false;
    value = number;
    return true;
}

namespace {
QString ValueText(const std::optional<double>& value)
{
    return value ? ToQString(FormatC("%g", *value)) : QString();
}
}  // namespace

CDia_Alert::CDia_Alert(const std::string& symbol, const AlertRule& rule, QWidget* parent)
    : QDialog(parent), m_rule(rule)
{
    setWindowTitle(ToQString("Alerts for " + symbol));
    auto* form = new QFormLayout(this);
    m_pAbove = new QLineEdit(ValueText(rule.above), this);
    m_pAbove->setObjectName(QStringLiteral("alertAbove"));
    m_pBelow = new QLineEdit(ValueText(rule.below), this);
    m_pBelow->setObjectName(QStringLiteral("alertBelow"));
    m_pMove = new QLineEdit(ValueText(rule.movePercent), this);
    m_pMove->setObjectName(QStringLiteral("alertMove"));
    form->addRow(QStringLiteral("Price at or &above:"), m_pAbove);
    form->addRow(QStringLiteral("Price at or &below:"), m_pBelow);
    form->addRow(QStringLiteral("&Move from previous close beyond (%):"), m_pMove);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDia_Alert::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void CDia_Alert::accept()
{
    AlertRule rule;
    const struct {
        QLineEdit* edit;
        std::optional<double>* value;
        const char* name;
    } fields[] = {{m_pAbove, &rule.above, "price above"},
                  {m_pBelow, &rule.below, "price below"},
                  {m_pMove, &rule.movePercent, "move"}};
    for (const auto& field : fields) {
        if (!ParseAlertValue(FromQString(field.edit->text()), *field.value)) {
            ShowMessage(std::string("The ") + field.name + " must be a positive number (like 12.50), or empty.");
            field.edit->setFocus();
            return;
        }
    }
    m_rule = rule;
    QDialog::accept();
}
